// InternetManager: the update-check operations.
#include "framework/internet/InternetManager.h"

namespace Varn {

InternetManager::InternetManager(std::filesystem::path folder, LogSink logSink)
    : writeFolder(std::move(folder)), log(std::move(logSink)) {
    fileLimits.maxBodyBytes = size_t(4) << 20;
    fileLimits.totalTimeoutMs = 60000;
    LoadList();
}

InternetManager::~InternetManager() {
    StopDownloads();
    StopTransfers();
    SaveList();
}

void InternetManager::StartUpdateCheck(const std::string& url) {
    response = UpdateResponse();
    parsed = false;
    completionReported = false;
    checkTransfer.GetAbsolute(url);
    if (checkTransfer.GetResult() == HTTPTransfer::kNoSocket &&
        !HTTPTransfer::TransportError().empty())
        Log("Update check impossible: " + HTTPTransfer::TransportError());
}

int InternetManager::UpdateCheckStatus() const {
    switch (checkTransfer.GetResult()) {
        case HTTPTransfer::kIdle:
            return kNotStarted;
        case HTTPTransfer::kInProgress:
            return kInProgress;
        case HTTPTransfer::kCompleted:
            return kDone;
        default:
            return kFailed;
    }
}

void InternetManager::LogCheckFailure() {
    if (UpdateCheckStatus() != kFailed) return;
    const std::string& reason = checkTransfer.GetFailureReason();
    if (!reason.empty()) Log("Update check failed: " + reason);
}

bool InternetManager::ParseUpdateResponse() {
    if (parsed) return true;
    if (checkTransfer.GetResult() != HTTPTransfer::kCompleted) return false;
    StopDownloads();
    response = ParseUpdateResponseText(checkTransfer.GetContent());
    parsed = true;
    previous = std::move(current);
    current.clear();
    queue.clear();
    for (const std::string& line : response.advertisementLines) AddAdvertisementLine(line);
    drops.advertisements += response.droppedAdvertisementLines;
    LogDrops("Update answer");
    return true;
}

bool InternetManager::IsUpToDate() {
    return ParseUpdateResponse() ? response.upToDate : true;
}

std::string InternetManager::UpdatePageUrl() {
    if (!ParseUpdateResponse() || !IsOpenableWebAddress(response.pageUrl)) return std::string();
    return response.pageUrl;
}

std::string InternetManager::UpdatePageProblem() {
    if (!ParseUpdateResponse()) return "the update server's answer was not read";
    const char* problem = WebAddressProblem(response.pageUrl);
    return problem ? problem : std::string();
}

bool InternetManager::TakeCompletedCheck() {
    if (completionReported || UpdateCheckStatus() != kDone) return false;
    completionReported = true;
    return true;
}

bool InternetManager::StopTransfers() {
    checkTransfer.Abort();
    checkTransfer.Wait();
    return checkTransfer.GetResult() == HTTPTransfer::kCompleted;
}

}  // namespace Varn
