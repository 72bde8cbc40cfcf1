#include "core/MediaFile.h"

#include "support/ScratchDir.h"

#include <gtest/gtest.h>

#include <SDL.h>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// Were FFmpeg to connect, it would wait for an answer that never comes: give up by then.
constexpr Uint64 GIVE_UP_MS = 3000;

int giveUpAfterDeadline(void* deadline) {
    return SDL_GetTicks64() > *static_cast<Uint64*>(deadline) ? 1 : 0;
}

// A file that looks like a streaming playlist and names a network address: opening it must not
// make FFmpeg connect anywhere.
TEST(MediaFileTest, APlaylistPointingAtTheNetworkIsNotFollowed) {
    ScratchDir scratch;
    int listener = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&address), length), 0);
    ASSERT_EQ(listen(listener, 1), 0);
    getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length);
    const std::string url =
        "http://127.0.0.1:" + std::to_string(ntohs(address.sin_port)) + "/segment.ts";
    scratch.writeFile("song.m3u8", "#EXTM3U\n#EXT-X-TARGETDURATION:10\n#EXTINF:10,\n" + url +
                                       "\n#EXT-X-ENDLIST\n");

    Uint64 deadline = SDL_GetTicks64() + GIVE_UP_MS;
    AVIOInterruptCB interrupt{&giveUpAfterDeadline, &deadline};
    FormatContext context = MediaFile::open("song.m3u8", nullptr, &interrupt);
    if (context) {
        avformat_find_stream_info(context.get(), nullptr);
    }
    int connection = accept(listener, nullptr, nullptr);
    EXPECT_LT(connection, 0) << "FFmpeg connected to " << url;
    if (connection >= 0) {
        close(connection);
    }
    close(listener);
}

} // namespace
