#include "platform/midiout/FluidSynthDevice.h"

#include <QDir>
#include <QFileInfo>
#include <atomic>
#include <chrono>
#include <cmath>
#include <system_error>
#include <dlfcn.h>
#include <type_traits>
#include <fluidsynth.h>

namespace {

// The library writes its complaints to the terminal; a missing sound server is expected here and
// reported through the device's own result instead. Errors are counted: an audio output whose sound
// server went away says so only this way, from its own thread, and then stays silent for good.
std::atomic<unsigned> LibraryErrors{0};

void QuietLog(int level, const char *, void *)
{
    if (level == FLUID_PANIC || level == FLUID_ERR)
        LibraryErrors.fetch_add(1, std::memory_order_relaxed);
}

// The synthesizer library and the dozens of libraries it brings are opened at the first use, not
// when the program starts: loading and linking them cost more than building the window.
struct TFluidSynthLibrary
{
    bool loaded = false;
    decltype(&::fluid_set_log_function) fluid_set_log_function = nullptr;
    decltype(&::new_fluid_settings) new_fluid_settings = nullptr;
    decltype(&::delete_fluid_settings) delete_fluid_settings = nullptr;
    decltype(&::fluid_settings_setnum) fluid_settings_setnum = nullptr;
    decltype(&::fluid_settings_setint) fluid_settings_setint = nullptr;
    decltype(&::fluid_settings_setstr) fluid_settings_setstr = nullptr;
    decltype(&::new_fluid_synth) new_fluid_synth = nullptr;
    decltype(&::delete_fluid_synth) delete_fluid_synth = nullptr;
    decltype(&::fluid_synth_sfload) fluid_synth_sfload = nullptr;
    decltype(&::new_fluid_audio_driver) new_fluid_audio_driver = nullptr;
    decltype(&::delete_fluid_audio_driver) delete_fluid_audio_driver = nullptr;
    decltype(&::fluid_synth_get_sfont_by_id) fluid_synth_get_sfont_by_id = nullptr;
    decltype(&::fluid_sfont_get_preset) fluid_sfont_get_preset = nullptr;
    decltype(&::fluid_synth_program_change) fluid_synth_program_change = nullptr;
    decltype(&::fluid_synth_noteoff) fluid_synth_noteoff = nullptr;
    decltype(&::fluid_synth_noteon) fluid_synth_noteon = nullptr;
    decltype(&::fluid_synth_cc) fluid_synth_cc = nullptr;
    decltype(&::fluid_synth_pitch_bend) fluid_synth_pitch_bend = nullptr;
    decltype(&::fluid_synth_all_notes_off) fluid_synth_all_notes_off = nullptr;
    decltype(&::fluid_synth_write_float) fluid_synth_write_float = nullptr;
    // The OpenMP runtime the library prepares a soundfont's samples with, where it was built so.
    void (*omp_set_num_threads)(int) = nullptr;
};

const TFluidSynthLibrary &Fluid()
{
    static const TFluidSynthLibrary library = [] {
        TFluidSynthLibrary lib;
        void *handle = ::dlopen("libfluidsynth.so.3", RTLD_NOW | RTLD_LOCAL);
        if (!handle)
            handle = ::dlopen("libfluidsynth.so", RTLD_NOW | RTLD_LOCAL);
        if (!handle)
            return lib;
        bool complete = true;
        auto Resolve = [&](auto &function, const char *name) {
            function = reinterpret_cast<std::remove_reference_t<decltype(function)>>(::dlsym(handle, name));
            complete = complete && function;
        };
        Resolve(lib.fluid_set_log_function, "fluid_set_log_function");
        Resolve(lib.new_fluid_settings, "new_fluid_settings");
        Resolve(lib.delete_fluid_settings, "delete_fluid_settings");
        Resolve(lib.fluid_settings_setnum, "fluid_settings_setnum");
        Resolve(lib.fluid_settings_setint, "fluid_settings_setint");
        Resolve(lib.fluid_settings_setstr, "fluid_settings_setstr");
        Resolve(lib.new_fluid_synth, "new_fluid_synth");
        Resolve(lib.delete_fluid_synth, "delete_fluid_synth");
        Resolve(lib.fluid_synth_sfload, "fluid_synth_sfload");
        Resolve(lib.new_fluid_audio_driver, "new_fluid_audio_driver");
        Resolve(lib.delete_fluid_audio_driver, "delete_fluid_audio_driver");
        Resolve(lib.fluid_synth_get_sfont_by_id, "fluid_synth_get_sfont_by_id");
        Resolve(lib.fluid_sfont_get_preset, "fluid_sfont_get_preset");
        Resolve(lib.fluid_synth_program_change, "fluid_synth_program_change");
        Resolve(lib.fluid_synth_noteoff, "fluid_synth_noteoff");
        Resolve(lib.fluid_synth_noteon, "fluid_synth_noteon");
        Resolve(lib.fluid_synth_cc, "fluid_synth_cc");
        Resolve(lib.fluid_synth_pitch_bend, "fluid_synth_pitch_bend");
        Resolve(lib.fluid_synth_all_notes_off, "fluid_synth_all_notes_off");
        Resolve(lib.fluid_synth_write_float, "fluid_synth_write_float");
        lib.omp_set_num_threads = reinterpret_cast<void (*)(int)>(::dlsym(handle, "omp_set_num_threads"));
        // The library stays loaded for the life of the program.
        lib.loaded = complete;
        return lib;
    }();
    return library;
}


void SilenceLibraryLog()
{
    static std::once_flag once;
    std::call_once(once, [] {
        for (int level : {FLUID_PANIC, FLUID_ERR, FLUID_WARN, FLUID_INFO, FLUID_DBG})
            Fluid().fluid_set_log_function(level, QuietLog, nullptr);
    });
}

constexpr int LoadTimeoutMs = 20000;
// A stopping output's thread ends within one period unless the stop is stuck; a stuck one renders
// nothing any more.
constexpr auto StopWait = std::chrono::seconds(1);
constexpr int DrumChannel = 9;
constexpr int DrumBank = 128;

} // namespace

struct TFluidSynthDevice::TOutputStop
{
    std::mutex mutex;
    std::condition_variable done;
    bool finished = false;
};

TFluidSynthDevice::TFluidSynthDevice() : TFluidSynthDevice(TOptions())
{
}

TFluidSynthDevice::TFluidSynthDevice(TOptions options) : FOptions(std::move(options))
{
}

void TFluidSynthDevice::StartLoading()
{
    // Reading a soundfont takes a core for a while: it starts when the program asks for it or
    // at the first play, not while the window is being built.
    std::lock_guard lock(FLoadMutex);
    if (!FLoader.joinable() && !FLoadDone) {
        try {
            FLoader = std::thread([this] { Load(); });
        } catch (const std::system_error &) {
            // No thread to spare (a limit on processes or memory): the first play loads it.
        }
    }
}

TFluidSynthDevice::~TFluidSynthDevice()
{
    {
        std::lock_guard lock(FLoadMutex);
        FQuit = true;
    }
    FIdleWake.notify_all();
    if (FIdleWatch.joinable())
        FIdleWatch.join();
    AwaitLastStop();
    if (FLoader.joinable())
        FLoader.join();
    if (FDriver)
        Fluid().delete_fluid_audio_driver(FDriver);
    if (FSynth)
        Fluid().delete_fluid_synth(FSynth);
    if (FSettings)
        Fluid().delete_fluid_settings(FSettings);
}

QStringList TFluidSynthDevice::FindSoundFonts()
{
    QStringList fonts;
    const QString preferred = QStringLiteral("/usr/share/sounds/sf2/default-GM.sf2");
    if (QFileInfo(preferred).isFile())
        fonts << preferred;
    for (const QString &folder : {QStringLiteral("/usr/share/sounds/sf2"), QStringLiteral("/usr/share/sounds/sf3")}) {
        const QFileInfoList entries =
            QDir(folder).entryInfoList({QStringLiteral("*.sf2"), QStringLiteral("*.sf3")}, QDir::Files, QDir::Name);
        for (const QFileInfo &entry : entries)
            if (!fonts.contains(entry.absoluteFilePath()))
                fonts << entry.absoluteFilePath();
    }
    return fonts;
}

void TFluidSynthDevice::Load()
{
    if (!Fluid().loaded) {
        std::lock_guard lock(FLoadMutex);
        FError = QStringLiteral("the synthesizer library could not be loaded");
        FLoadDone = true;
        FLoaded.notify_all();
        return;
    }
    SilenceLibraryLog();
    fluid_settings_t *settings = Fluid().new_fluid_settings();
    fluid_synth_t *synth = nullptr;
    int fontId = -1;
    QString error;
    if (settings) {
        Fluid().fluid_settings_setnum(settings, "synth.sample-rate", FOptions.sampleRate);
        Fluid().fluid_settings_setnum(settings, "synth.gain", FOptions.gain);
        Fluid().fluid_settings_setint(settings, "audio.period-size", FOptions.periodSize);
        Fluid().fluid_settings_setint(settings, "audio.periods", FOptions.periods);
        synth = Fluid().new_fluid_synth(settings);
    }
    if (!synth) {
        error = QStringLiteral("the synthesizer could not be created");
    } else {
        // The runtime ends the whole program when a thread of its team cannot start (a limit on
        // processes or memory): the samples are prepared on this thread alone.
        if (Fluid().omp_set_num_threads)
            Fluid().omp_set_num_threads(1);
        for (const QString &font : FOptions.soundFonts) {
            fontId = Fluid().fluid_synth_sfload(synth, QFile::encodeName(font).constData(), 1);
            if (fontId >= 0)
                break;
        }
        if (fontId < 0)
            error = FOptions.soundFonts.isEmpty() ? QStringLiteral("no soundfont found")
                                                  : QStringLiteral("no soundfont could be loaded");
    }
    std::lock_guard lock(FLoadMutex);
    FSettings = settings;
    FSynth = synth;
    FSoundFontId = fontId;
    FError = error;
    FLoadDone = true;
    FLoaded.notify_all();
}

bool TFluidSynthDevice::WaitLoaded(int timeoutMs)
{
    StartLoading();
    bool loadHere = false;
    {
        std::lock_guard lock(FLoadMutex);
        loadHere = !FLoader.joinable() && !FLoadDone;
    }
    if (loadHere)
        Load();
    std::unique_lock lock(FLoadMutex);
    if (!FLoaded.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] { return FLoadDone; })) {
        FError = QStringLiteral("the soundfont is still loading");
        return false;
    }
    return FSynth && FSoundFontId >= 0;
}

QString TFluidSynthDevice::LastError() const
{
    std::lock_guard lock(FLoadMutex);
    return FError;
}

QString TFluidSynthDevice::AudioDriver() const
{
    std::lock_guard lock(FLoadMutex);
    return FDriverName;
}

double TFluidSynthDevice::BufferMilliseconds() const
{
    return 1000.0 * FOptions.periodSize * FOptions.periods / FOptions.sampleRate;
}

bool TFluidSynthDevice::DoOpen()
{
    if (!WaitLoaded(LoadTimeoutMs))
        return false;
    if (FOptions.offline)
        return true;
    std::lock_guard lock(FLoadMutex);
    FIdle = false;
    AwaitLastStop();
    // The audio output stays up between plays that follow each other: starting a sound server
    // connection takes longer than a chord may wait. One that reported an error since it started may have lost its server
    // (restarted, gone): a new one is started, or the play fails visibly.
    if (FDriver) {
        if (LibraryErrors.load(std::memory_order_relaxed) == FDriverErrors)
            return true;
        Fluid().delete_fluid_audio_driver(FDriver);
        FDriver = nullptr;
        FDriverName.clear();
    }
    for (const QString &name : FOptions.audioDrivers) {
        if (Fluid().fluid_settings_setstr(FSettings, "audio.driver", name.toLatin1().constData()) != FLUID_OK)
            continue;
        FDriver = Fluid().new_fluid_audio_driver(FSettings, FSynth);
        if (FDriver) {
            FDriverErrors = LibraryErrors.load(std::memory_order_relaxed);
            FDriverName = name;
            FError.clear();
            return true;
        }
    }
    FError = QStringLiteral("no audio output could be started");
    return false;
}

void TFluidSynthDevice::DoClose()
{
    Reset();
    StopOutputWhenIdle();
}

void TFluidSynthDevice::StopOutputWhenIdle()
{
    std::lock_guard lock(FLoadMutex);
    if (!FDriver)
        return;
    FIdle = true;
    FIdleSince = std::chrono::steady_clock::now();
    if (!FIdleWatch.joinable()) {
        try {
            FIdleWatch = std::thread([this] { WatchIdleOutput(); });
        } catch (const std::system_error &) {
            // No thread to spare: the output keeps running, as it does while a chord plays.
        }
    }
    FIdleWake.notify_all();
}

void TFluidSynthDevice::WatchIdleOutput()
{
    std::unique_lock lock(FLoadMutex);
    while (!FQuit) {
        if (!FIdle) {
            FIdleWake.wait(lock);
            continue;
        }
        const auto due = FIdleSince + std::chrono::milliseconds(FOptions.idleStopMs);
        if (std::chrono::steady_clock::now() < due) {
            FIdleWake.wait_until(lock, due);
            continue;
        }
        FIdle = false;
        if (!FDriver)
            continue;
        auto stop = std::make_shared<TOutputStop>();
        try {
            std::thread([driver = FDriver, stop] {
                Fluid().delete_fluid_audio_driver(driver);
                std::lock_guard done(stop->mutex);
                stop->finished = true;
                stop->done.notify_all();
            }).detach();
        } catch (const std::system_error &) {
            continue; // no thread to spare: the output keeps running
        }
        FDriver = nullptr;
        FDriverName.clear();
        FLastStop = std::move(stop);
    }
}

void TFluidSynthDevice::AwaitLastStop()
{
    if (!FLastStop)
        return;
    std::unique_lock lock(FLastStop->mutex);
    FLastStop->done.wait_for(lock, StopWait, [this] { return FLastStop->finished; });
    lock.unlock();
    FLastStop.reset();
}

void TFluidSynthDevice::SendProgram(int channel, int program)
{
    // A drum kit the soundfont lacks would leave the channel silent; the standard kit stands in.
    if (channel == DrumChannel) {
        fluid_sfont_t *font = Fluid().fluid_synth_get_sfont_by_id(FSynth, FSoundFontId);
        if (font && !Fluid().fluid_sfont_get_preset(font, DrumBank, program))
            program = 0;
    }
    Fluid().fluid_synth_program_change(FSynth, channel, program);
}

void TFluidSynthDevice::ShortMessage(uint32_t message, uint64_t)
{
    if (!FSynth)
        return;
    const int status = int(message & 0xF0);
    const int channel = int(message & 0x0F);
    const int data1 = int((message >> 8) & 0x7F);
    const int data2 = int((message >> 16) & 0x7F);
    switch (status) {
    case 0x80:
        Fluid().fluid_synth_noteoff(FSynth, channel, data1);
        break;
    case 0x90:
        if (data2 == 0)
            Fluid().fluid_synth_noteoff(FSynth, channel, data1);
        else
            Fluid().fluid_synth_noteon(FSynth, channel, data1, data2);
        break;
    case 0xB0:
        Fluid().fluid_synth_cc(FSynth, channel, data1, data2);
        break;
    case 0xC0:
        SendProgram(channel, data1);
        break;
    case 0xE0:
        Fluid().fluid_synth_pitch_bend(FSynth, channel, data1 | (data2 << 7));
        break;
    default:
        break;
    }
}

void TFluidSynthDevice::Reset()
{
    if (FSynth)
        Fluid().fluid_synth_all_notes_off(FSynth, -1);
}

void TFluidSynthDevice::Render(float *left, float *right, int frames)
{
    if (!FSynth || !FOptions.offline)
        return;
    constexpr int Block = 64;
    const double usPerFrame = 1e6 / FOptions.sampleRate;
    for (int done = 0; done < frames;) {
        const int count = std::min(Block, frames - done);
        AdvanceClockUs(std::llround(count * usPerFrame));
        Fluid().fluid_synth_write_float(FSynth, count, left, done, 1, right, done, 1);
        done += count;
    }
}
