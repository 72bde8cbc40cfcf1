#include "audio/SongProber.h"

#include <algorithm>
#include <chrono>
#include <optional>

namespace {

// Enough for every broken file of a large card to be skipped without a look, few enough to be
// searched in a moment.
constexpr size_t MAX_REMEMBERED_FAILURES = 256;

int64_t nowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

} // namespace

SongProber::SongProber(const AudioFormat& output, std::function<void()> opened)
    : output(output), opened(std::move(opened)), thread([this] { run(); }) {
}

SongProber::~SongProber() {
    {
        std::lock_guard<std::mutex> lock(mutex);
        quitting = true;
    }
    wake.notify_one();
    thread.join();
}

void SongProber::open(uint64_t request, const std::string& path) {
    {
        std::lock_guard<std::mutex> lock(mutex);
        requests.emplace_back(request, path);
    }
    wake.notify_one();
}

std::vector<SongProber::Result> SongProber::takeResults() {
    std::lock_guard<std::mutex> lock(mutex);
    return std::exchange(results, {});
}

void SongProber::run() {
    std::unique_lock<std::mutex> lock(mutex);
    while (true) {
        wake.wait(lock, [this] { return quitting || !requests.empty(); });
        if (quitting) {
            return;
        }
        auto [request, path] = std::move(requests.front());
        requests.pop_front();
        lock.unlock();
        Result result = probe(request, path);
        lock.lock();
        results.push_back(std::move(result));
        if (opened) {
            opened();
        }
    }
}

SongProber::Result SongProber::probe(uint64_t request, const std::string& path) {
    Result result;
    result.request = request;
    result.path = path;
    const std::optional<FileIdentity> identity = FileIdentity::of(path);
    if (identity && failedBefore(path, *identity)) {
        result.knownBefore = true;
        return result;
    }
    result.decoder = SongDecoder::open(path, output);
    // A file written in the last moments might change again without its time showing it.
    if (!result.decoder && identity && identity->isSettled(nowNs())) {
        rememberFailure(path, *identity);
    }
    return result;
}

bool SongProber::failedBefore(const std::string& path, const FileIdentity& identity) const {
    return std::any_of(failures.begin(), failures.end(), [&](const auto& failure) {
        return failure.first == path && failure.second == identity;
    });
}

void SongProber::rememberFailure(const std::string& path, const FileIdentity& identity) {
    failures.erase(std::remove_if(failures.begin(), failures.end(),
                                  [&](const auto& failure) { return failure.first == path; }),
                   failures.end());
    failures.emplace_back(path, identity);
    if (failures.size() > MAX_REMEMBERED_FAILURES) {
        failures.pop_front();
    }
}
