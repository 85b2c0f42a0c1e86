// Feeds arbitrary bytes, cut into arbitrary receives, to the stream packet
// parser and its received-packet queue, and reads back what was queued.
// Besides the sanitizers' checks, a packet that does not match its own
// header stops the run.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "channel/frame_queue.h"
#include "channel/stream_parser.h"
#include "netservice/stream_header.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1)
        return 0;
    const size_t chunk = 1 + data[0] * 16;  // receive size, 1..4081
    ++data;
    --size;

    CFrameQueue queue;
    CStreamParser parser(&queue);
    static std::vector<uint8_t> out(STREAM_PARSER_MAX_PAYLOAD);
    for (size_t pos = 0; pos < size; pos += chunk) {
        const size_t n = size - pos < chunk ? size - pos : chunk;
        const bool ok = parser.ParseStreamData(data + pos, static_cast<int>(n));
        if (!ok && !parser.IsBroken())
            std::abort();
        uint32_t header = 0;
        while (queue.PeekFlags(&header)) {
            const int got = queue.ReadFrame(out.data(), &header, static_cast<int>(out.size()));
            const uint32_t announced = GetPayloadLength(header);
            const int expected = announced < 4 ? 4 : static_cast<int>(announced);
            if (got != 0 && got != expected)
                std::abort();
        }
        if (parser.GetHeaderBytes() < 0 || parser.GetHeaderBytes() > 3 ||
            parser.GetPayloadMissing() < 0 ||
            parser.GetPayloadMissing() > STREAM_PARSER_MAX_PAYLOAD)
            std::abort();
        if (!ok)
            break;
    }
    return 0;
}
