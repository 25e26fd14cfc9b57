// InternetManager: the update check (one HTTPTransfer asking the update server
// whether a newer version exists) and what its answer says. The application
// creates it in Init and owns it until its own destruction.
//
// Threads: every operation runs on the main thread; only the transfer's worker
// runs beside it (see HTTPTransfer).
#pragma once

#include <string>

#include "framework/HTTPTransfer.h"
#include "framework/UpdateResponse.h"

namespace Varn {

class InternetManager {
public:
    enum CheckStatus { kNotStarted = 0, kInProgress = 1, kDone = 2, kFailed = 3 };

    InternetManager();
    virtual ~InternetManager();
    InternetManager(const InternetManager&) = delete;
    InternetManager& operator=(const InternetManager&) = delete;

    // A new check forgets the previous answer.
    void StartUpdateCheck(const std::string& url);
    int UpdateCheckStatus() const;
    // Parses a completed check's answer once; false while there is none.
    bool ParseUpdateResponse();
    // True unless a parsed answer says otherwise.
    bool IsUpToDate();
    // The update page of a parsed answer, or empty (also when the server named
    // something that is not a plain http or https address).
    std::string UpdatePageUrl();
    // Called when a check has completed: reads its answer (the advertisement
    // lines are kept for the downloads).
    virtual void StartDownloads();
    // True once for each check that completed (result 0).
    bool TakeCompletedCheck();
    // Stops the check's worker; true if the check had completed.
    bool StopTransfers();

    HTTPTransfer& GetCheckTransfer() { return checkTransfer; }
    const UpdateResponse& GetResponse() const { return response; }

protected:
    HTTPTransfer checkTransfer;
    UpdateResponse response;
    bool parsed = false;
    bool completionReported = true;
};

}  // namespace Varn
