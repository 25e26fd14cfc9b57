// InternetManager: the advertisement list, its file, the download worker and
// showing an advertisement.
#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdlib>
#include <set>
#include <system_error>

#include "framework/internet/AdvertisementFiles.h"
#include "framework/internet/InternetManager.h"
#include "platform/AtomicFile.h"
#include "platform/RegularFile.h"
#include "platform/ThreadSignalStack.h"

namespace Varn {

namespace {

constexpr size_t kMaxListBytes = size_t(1) << 20;
const char* const kListName = "adlist.txt";

bool IsWebPage(const std::string& name) {
    size_t dot = name.rfind('.');
    if (dot == std::string::npos) return false;
    std::string extension = name.substr(dot + 1);
    for (char& c : extension) c = char(std::tolower(static_cast<unsigned char>(c)));
    return extension == "html" || extension == "htm";
}

// A file:// URL of an absolute path, every byte but the plain ones escaped.
std::string FileUrl(const std::filesystem::path& path) {
    static const char* const kHex = "0123456789ABCDEF";
    std::string url = "file://";
    for (unsigned char c : path.string()) {
        if (std::isalnum(c) || c == '/' || c == '-' || c == '.' || c == '_' || c == '~') {
            url += char(c);
        } else {
            url += '%';
            url += kHex[c >> 4];
            url += kHex[c & 15];
        }
    }
    return url;
}

}  // namespace

void InternetManager::Log(const std::string& line) {
    if (log) log(line + "\n");
}

std::filesystem::path InternetManager::AdsFolder() const {
    return writeFolder.empty() ? writeFolder : writeFolder / "ads";
}

void InternetManager::SetDownloadLimits(const HTTPTransfer::Limits& perFile, size_t totalBytes) {
    fileLimits = perFile;
    maxDownloadBytes = totalBytes;
}

// ---- the list and its file ----

void InternetManager::AddAdvertisementLine(const std::string& line) {
    if (current.size() >= kMaxAdvertisements) {  // counted unparsed: a list may be huge
        if (line.find_first_not_of(' ') != std::string::npos) ++drops.advertisements;
        return;
    }
    Advertisement advertisement;
    std::vector<std::string> names;
    if (!ParseAdvertisementLine(line, previous, advertisement, names)) return;
    if (advertisement.droppedFiles > 0) ++drops.crowdedAdvertisements;
    if (advertisement.refused) ++drops.refusedAdvertisements;
    for (const std::string& name : names)
        if (std::find(queue.begin(), queue.end(), name) == queue.end()) queue.push_back(name);
    current.push_back(std::move(advertisement));
}

// Lines longer than any line SaveList writes are skipped whole, so their tail
// never becomes a line of its own.
void InternetManager::LoadList() {
    if (writeFolder.empty()) return;
    std::string text;
    if (ReadRegularFile((writeFolder / kListName).string(), kMaxListBytes, text) != FileRead::Ok)
        return;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.size() > Advertisement::kMaxLineBytes)
            ++drops.overlongLines;
        else
            AddAdvertisementLine(line);
        start = end + 1;
    }
    LogDrops(kListName);
    queue.clear();  // downloads start only after a completed check
}

void InternetManager::LogDrops(const std::string& source) {
    auto report = [&](size_t count, const std::string& what) {
        if (count > 0) Log(source + ": " + std::to_string(count) + " " + what);
    };
    report(drops.advertisements, "advertisements past the first 64 dropped");
    report(drops.crowdedAdvertisements, "advertisements with more than 32 files cut to 32");
    report(drops.refusedAdvertisements, "advertisements with a refused file name");
    report(drops.overlongLines,
           "lines longer than " + std::to_string(Advertisement::kMaxLineBytes) + " bytes skipped");
    drops = Drops();
}

void InternetManager::SaveList() {
    if (writeFolder.empty()) return;
    std::string text;
    for (const Advertisement& advertisement : current)
        text += FormatAdvertisementLine(advertisement) + "\n";
    // Written only when it changed: an exit after no check leaves the folder as it was.
    std::string onDisk;
    const FileRead read = ReadRegularFile((writeFolder / kListName).string(), text.size(), onDisk);
    if ((read == FileRead::Missing && text.empty()) || (read == FileRead::Ok && onDisk == text))
        return;
    if (!WriteFileAtomically(writeFolder / kListName, text)) Log("adlist.txt could not be written");
}

void InternetManager::RefreshAvailability() {
    std::filesystem::path ads = AdsFolder();
    for (Advertisement& advertisement : current) {
        advertisement.available = !advertisement.files.empty() && !advertisement.refused;
        for (const std::string& name : advertisement.files)
            if (advertisement.available && !AdFilePresent(ads, name))
                advertisement.available = false;
    }
}

bool InternetManager::HasPendingAdvertisement() {
    RefreshAvailability();
    return std::any_of(current.begin(), current.end(),
                       [](const Advertisement& a) { return a.available && a.pending; });
}

// ---- downloads ----

void InternetManager::StartDownloads() {
    const bool answered = ParseUpdateResponse();
    StopDownloads();
    if (writeFolder.empty()) return;
    if (queue.empty()) {
        if (answered) PruneAdsFolder();  // a round with nothing to fetch is complete at once
        return;
    }
    downloadBase = checkTransfer.GetFullUrl();
    storedBytes = 0;
    budgetReached = false;
    downloadStop = false;
    downloadRunning = true;
    try {
        downloadWorker = std::thread(&InternetManager::DownloadWork, this);
    } catch (const std::system_error&) {
        downloadRunning = false;
    }
}

void InternetManager::StopDownloads() {
    downloadStop = true;
    if (downloadWorker.joinable()) downloadWorker.join();
}

void InternetManager::DownloadWork() {
    ThreadSignalStack signalStack;
    std::filesystem::path ads = AdsFolder();
    std::erase_if(queue, [&ads](const std::string& name) { return AdFilePresent(ads, name); });
    std::set<std::string> named;
    for (const Advertisement& advertisement : current)
        named.insert(advertisement.files.begin(), advertisement.files.end());
    for (const std::string& name : named) storedBytes += AdFileBytes(ads, name);
    bool complete = false;
    while (!downloadStop.load()) {
        StoreFinished();
        complete = StartNextDownloads();  // idle: every file fetched or dropped
        if (complete) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(kDownloadPassMs));
    }
    for (DownloadSlot& slot : slots) {
        slot.transfer.Abort();
        slot.transfer.Wait();
        slot.handled = true;
    }
    if (complete) PruneAdsFolder();
    downloadRunning = false;
}

void InternetManager::PruneAdsFolder() {
    std::vector<std::vector<std::string>> groups;
    for (const std::vector<Advertisement>* list : {&current, &previous})
        for (const Advertisement& advertisement : *list) groups.push_back(advertisement.files);
    PruneAdFolder(AdsFolder(), groups, maxDownloadBytes);
}

void InternetManager::StoreFinished() {
    for (DownloadSlot& slot : slots) {
        if (slot.handled || slot.transfer.GetResult() == HTTPTransfer::kInProgress) continue;
        slot.handled = true;
        if (slot.transfer.GetResult() == HTTPTransfer::kCompleted) Store(slot);
    }
}

// A failed download is dropped: its name is not queued again.
void InternetManager::Store(DownloadSlot& slot) {
    const std::string& content = slot.transfer.GetContent();
    if (storedBytes + content.size() > maxDownloadBytes) {
        if (!budgetReached) Log("Advertisement downloads: more than 32 MiB; the rest is dropped");
        budgetReached = true;
        queue.clear();
        return;
    }
    if (StoreAdFile(AdsFolder(), slot.transfer.GetRequestedUrl(), content))
        storedBytes += content.size();
    else
        Log("Advertisement file could not be written: " + slot.transfer.GetRequestedUrl());
}

// True when nothing runs and nothing is left to start.
bool InternetManager::StartNextDownloads() {
    bool idle = true;
    for (DownloadSlot& slot : slots) {
        if (!slot.handled) {
            idle = false;
            continue;
        }
        if (queue.empty()) continue;
        idle = false;
        std::string name = queue.front();
        queue.erase(queue.begin());
        slot.handled = false;
        slot.transfer.SetLimits(fileLimits);
        slot.transfer.GetRelative(downloadBase, name);
    }
    return idle;
}

// ---- showing ----

void InternetManager::ShowAdvertisement(const UrlOpener& openUrl, const RandomSource& random) {
    StopDownloads();
    RefreshAvailability();
    std::vector<Advertisement*> available;
    Advertisement* chosen = nullptr;
    for (Advertisement& advertisement : current) {
        if (!advertisement.available) continue;
        available.push_back(&advertisement);
        if (!chosen && advertisement.pending) chosen = &advertisement;
    }
    if (!chosen && !available.empty())
        chosen = available[size_t(std::abs(random() % int(available.size())))];
    if (!chosen) return;
    chosen->pending = false;
    const std::string& page = chosen->files[0];
    if (!IsWebPage(page)) {
        Log("Advertisement page is no .html or .htm file: " + page);
        return;
    }
    std::error_code error;
    std::filesystem::path path = std::filesystem::absolute(AdsFolder() / page, error);
    if (!error && openUrl) openUrl(FileUrl(path));
}

void InternetManager::ShowAdvertisementAtExit(const UrlOpener& openUrl,
                                              const RandomSource& random) {
    if (HasPendingAdvertisement() && random() % 2 == 0) ShowAdvertisement(openUrl, random);
}

}  // namespace Varn
