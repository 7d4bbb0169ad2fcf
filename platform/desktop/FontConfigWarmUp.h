#pragma once
// Reads the system's font configuration on a thread of its own while the application connects to
// the display: otherwise the first text the window measures waits for dozens of configuration
// files to be parsed. Whoever asks for the configuration later gets the one read here, or reads
// it again at worst.
#include <thread>

class TFontConfigWarmUp
{
public:
    TFontConfigWarmUp();
    // Waits for the reading to end, so that nothing is left running at exit.
    ~TFontConfigWarmUp();

    TFontConfigWarmUp(const TFontConfigWarmUp &) = delete;
    TFontConfigWarmUp &operator=(const TFontConfigWarmUp &) = delete;

private:
    std::thread FThread;
};
