#include "mainwnd/display_flags.h"

#include <mutex>

namespace {

std::mutex g_readerMutex;
std::function<DisplayFlags()> g_reader;

}  // namespace

void SetDisplayFlagsReader(std::function<DisplayFlags()> reader) {
    std::lock_guard<std::mutex> lock(g_readerMutex);
    g_reader = std::move(reader);
}

DisplayFlags ReadDisplayFlags() {
    std::function<DisplayFlags()> reader;
    {
        std::lock_guard<std::mutex> lock(g_readerMutex);
        reader = g_reader;
    }
    return reader ? reader() : DisplayFlags{};
}
