// InternetManager: the update check (one HTTPTransfer asking the update server
// whether a newer version exists), what its answer says, and the advertisement
// list the answer names: kept in "adlist.txt" of the write folder, its files
// downloaded below "ads" there by a worker with four transfers, and one
// pending advertisement shown at exit. The application creates it in Init and
// owns it until its own destruction.
//
// Limits: 64 advertisements, 32 files each, 4 MiB a file, 32 MiB in "ads"
// (files already there count); past a limit the rest is dropped and one log
// line per limit (for a whole list or round) says so. After each completed round of downloads "ads"
// keeps only files the current or the previous list names, within the 32 MiB (current first).
//
// Threads: every operation runs on the main thread. Beside it run the check
// transfer's worker and the download worker, which alone touches the download
// queue and the four download transfers while it runs; the main thread stops
// it (and joins it) before it touches them or the lists. Flags are atomic.
#pragma once

#include <array>
#include <atomic>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "framework/internet/Advertisement.h"

#include "framework/internet/HTTPTransfer.h"
#include "framework/internet/UpdateResponse.h"

namespace Varn {

class InternetManager {
public:
    enum CheckStatus { kNotStarted = 0, kInProgress = 1, kDone = 2, kFailed = 3 };

    using LogSink = std::function<void(const std::string&)>;
    using UrlOpener = std::function<bool(const std::string&)>;
    using RandomSource = std::function<int()>;
    static constexpr size_t kMaxAdvertisements = kMaxAdvertisementLines;
    static constexpr int kDownloadSlots = 4;
    static constexpr int kDownloadPassMs = 20;

    // An empty write folder keeps no list and downloads nothing to disk.
    explicit InternetManager(std::filesystem::path writeFolder = {}, LogSink logSink = {});
    // Stops the downloads and writes "adlist.txt".
    virtual ~InternetManager();
    InternetManager(const InternetManager&) = delete;
    InternetManager& operator=(const InternetManager&) = delete;

    // A new check forgets the previous answer.
    void StartUpdateCheck(const std::string& url);
    int UpdateCheckStatus() const;
    // For a failed check whose transfer knows why (an option libcurl refused),
    // one log line with the reason; nothing otherwise.
    void LogCheckFailure();
    // Parses a completed check's answer once; false while there is none.
    bool ParseUpdateResponse();
    // True unless a parsed answer says otherwise.
    bool IsUpToDate();
    // The update page of a parsed answer, or empty (also when the server named
    // something that is not a plain http or https address).
    std::string UpdatePageUrl();
    // Why UpdatePageUrl is empty, for the player; empty when it is not.
    std::string UpdatePageProblem();
    // Called when a check has completed: reads its answer (replacing the list)
    // and starts downloading the files not present yet.
    virtual void StartDownloads();
    // Sets the stop flag and joins the download worker (which aborts its
    // transfers within one 20 ms pass).
    void StopDownloads();
    bool DownloadsRunning() const { return downloadRunning.load(); }
    // Parses a line and appends its advertisement (main thread, worker stopped);
    // what a limit drops is counted for LogDrops.
    void AddAdvertisementLine(const std::string& line);
    bool HasPendingAdvertisement();
    // Opens the pending (else a random available) advertisement's page.
    // NOTE: the system's URL opener cannot be told a window size, so the
    // advertisement's width and height are kept but not applied.
    void ShowAdvertisement(const UrlOpener& openUrl, const RandomSource& random);
    // At exit: with a pending advertisement, shows one half the time.
    void ShowAdvertisementAtExit(const UrlOpener& openUrl, const RandomSource& random);
    void RefreshAvailability();

    const std::vector<Advertisement>& Advertisements() const { return current; }
    // Read only while the worker is stopped.
    const std::vector<std::string>& DownloadQueue() const { return queue; }
    std::filesystem::path AdsFolder() const;
    void SetDownloadLimits(const HTTPTransfer::Limits& perFile, size_t totalBytes);
    // True once for each check that completed (result 0).
    bool TakeCompletedCheck();
    // Stops the check's worker; true if the check had completed.
    bool StopTransfers();

    HTTPTransfer& GetCheckTransfer() { return checkTransfer; }
    const UpdateResponse& GetResponse() const { return response; }

protected:
    // What the limits dropped from one list.
    struct Drops {
        size_t advertisements = 0;
        size_t crowdedAdvertisements = 0;  // more than 32 files
        size_t refusedAdvertisements = 0;  // a refused file name
        size_t overlongLines = 0;
    };
    struct DownloadSlot {
        HTTPTransfer transfer;
        bool handled = true;  // its outcome was dealt with; free for the next name
    };
    void LoadList();
    void SaveList();
    void DownloadWork();
    void StoreFinished();
    bool StartNextDownloads();
    void Store(DownloadSlot& slot);
    void PruneAdsFolder();
    // One line for each limit a list reached; the counts start again.
    void LogDrops(const std::string& source);
    void Log(const std::string& line);

    std::filesystem::path writeFolder;
    LogSink log;
    std::vector<Advertisement> current;
    std::vector<Advertisement> previous;
    std::vector<std::string> queue;
    std::array<DownloadSlot, kDownloadSlots> slots;
    std::string downloadBase;
    HTTPTransfer::Limits fileLimits;
    size_t maxDownloadBytes = size_t(32) << 20;
    size_t storedBytes = 0;
    bool budgetReached = false;
    Drops drops;
    std::atomic<bool> downloadRunning{false};
    std::atomic<bool> downloadStop{false};
    std::thread downloadWorker;
    HTTPTransfer checkTransfer;
    UpdateResponse response;
    bool parsed = false;
    bool completionReported = true;
};

}  // namespace Varn
