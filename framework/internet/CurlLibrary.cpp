#include "framework/internet/CurlLibrary.h"

#include <dlfcn.h>

#include <mutex>

namespace Varn {

namespace {

template <typename Entry>
bool Find(void* library, const char* name, Entry& entry, std::string& error) {
    entry = reinterpret_cast<Entry>(dlsym(library, name));
    if (!entry) error = std::string(name) + " is missing from libcurl";
    return entry != nullptr;
}

std::string sharedError;

bool RecentEnough(const CurlLibrary& curl, std::string& error) {
    const curl_version_info_data* info = curl.version_info(CURLVERSION_NOW);
    if (info && info->version_num >= CurlLibrary::kOldestVersion) return true;
    error = std::string("libcurl ") + (info ? info->version : "of unknown version") +
            " is older than 7.85.0";
    return false;
}

}  // namespace

std::unique_ptr<CurlLibrary> CurlLibrary::Open(const char* soname, std::string& error) {
    void* library = dlopen(soname, RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        const char* reason = dlerror();
        error = reason ? reason : std::string(soname) + " could not be opened";
        return nullptr;
    }
    auto curl = std::make_unique<CurlLibrary>();
    bool complete = Find(library, "curl_global_init", curl->global_init, error) &&
                    Find(library, "curl_easy_init", curl->easy_init, error) &&
                    Find(library, "curl_easy_cleanup", curl->easy_cleanup, error) &&
                    Find(library, "curl_easy_setopt", curl->easy_setopt, error) &&
                    Find(library, "curl_easy_strerror", curl->easy_strerror, error) &&
                    Find(library, "curl_easy_getinfo", curl->easy_getinfo, error) &&
                    Find(library, "curl_easy_header", curl->easy_header, error) &&
                    Find(library, "curl_slist_append", curl->slist_append, error) &&
                    Find(library, "curl_slist_free_all", curl->slist_free_all, error) &&
                    Find(library, "curl_multi_init", curl->multi_init, error) &&
                    Find(library, "curl_multi_cleanup", curl->multi_cleanup, error) &&
                    Find(library, "curl_multi_add_handle", curl->multi_add_handle, error) &&
                    Find(library, "curl_multi_remove_handle", curl->multi_remove_handle, error) &&
                    Find(library, "curl_multi_perform", curl->multi_perform, error) &&
                    Find(library, "curl_multi_info_read", curl->multi_info_read, error) &&
                    Find(library, "curl_multi_poll", curl->multi_poll, error) &&
                    Find(library, "curl_multi_wakeup", curl->multi_wakeup, error) &&
                    Find(library, "curl_version_info", curl->version_info, error) &&
                    RecentEnough(*curl, error);
    if (!complete) {
        dlclose(library);
        return nullptr;
    }
    return curl;
}

const CurlLibrary* SharedCurl() {
    static std::once_flag once;
    static std::unique_ptr<CurlLibrary> shared;
    std::call_once(once, [] {
        shared = CurlLibrary::Open("libcurl.so.4", sharedError);
        if (shared && shared->global_init(CURL_GLOBAL_DEFAULT) != CURLE_OK) {
            sharedError = "libcurl could not be initialised";
            shared.reset();
        }
    });
    return shared.get();
}

const std::string& SharedCurlError() {
    return sharedError;
}

}  // namespace Varn
