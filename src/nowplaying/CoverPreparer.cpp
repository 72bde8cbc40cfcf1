#include "nowplaying/CoverPreparer.h"

#include "nowplaying/AccentColour.h"
#include "ui/SkinArt.h"

#include <algorithm>
#include <chrono>
#include <utility>

namespace {

bool isFinished(const std::future<PreparedCover>& work) {
    return work.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
}

} // namespace

CoverPreparer::~CoverPreparer() = default; // the futures wait for their work to end

PreparedCover CoverPreparer::prepareNow(const std::string& coverPath,
                                        const std::string& fallbackPath, int size) {
    SurfacePtr picture = coverPath.empty() ? nullptr : SkinArt::loadSongCover(coverPath);
    if (!picture) {
        picture = SkinArt::loadPicture(fallbackPath);
    }
    PreparedCover prepared;
    prepared.accent = AccentColour::of(picture.get());
    prepared.picture = SkinArt::coverSurface(picture.get(), size, size);
    return prepared;
}

void CoverPreparer::prepare(const std::string& coverPath, const std::string& fallbackPath,
                            int size) {
    forgetFinished();
    if (latest.valid()) {
        dropped.push_back(std::move(latest));
    }
    latest = std::async(std::launch::async, [coverPath, fallbackPath, size] {
        SdlThreadCleanup sdlThread;
        return prepareNow(coverPath, fallbackPath, size);
    });
}

std::optional<PreparedCover> CoverPreparer::takeReady() {
    forgetFinished();
    if (!latest.valid() || !isFinished(latest)) {
        return std::nullopt;
    }
    return latest.get();
}

void CoverPreparer::forgetFinished() {
    dropped.erase(std::remove_if(dropped.begin(), dropped.end(), isFinished), dropped.end());
}
