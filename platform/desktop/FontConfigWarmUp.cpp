#include "platform/desktop/FontConfigWarmUp.h"

#include <fontconfig/fontconfig.h>

TFontConfigWarmUp::TFontConfigWarmUp() : FThread([] { FcInit(); }) {}

TFontConfigWarmUp::~TFontConfigWarmUp()
{
    if (FThread.joinable())
        FThread.join();
}
