// libcurl, opened on the first transfer instead of linked into the program: the
// TLS stack it brings (some forty libraries, about 8 MB resident) is then paid
// only by a player who asks for an update check. Building needs the headers;
// running needs libcurl.so.4 only to fetch, and version 7.85.0 or later
// (curl_easy_header, CURLOPT_PROTOCOLS_STR): an older one is refused.
#pragma once

#include <curl/curl.h>

#if LIBCURL_VERSION_NUM < 0x075500
#error "libcurl 7.85.0 or later is needed (curl_easy_header, CURLOPT_PROTOCOLS_STR)"
#endif

#include <memory>
#include <string>

namespace Varn {

struct CurlLibrary {
    decltype(&curl_global_init) global_init;
    decltype(&curl_easy_init) easy_init;
    decltype(&curl_easy_cleanup) easy_cleanup;
    decltype(&curl_easy_setopt) easy_setopt;
    decltype(&curl_easy_strerror) easy_strerror;
    decltype(&curl_easy_getinfo) easy_getinfo;
    decltype(&curl_easy_header) easy_header;
    decltype(&curl_slist_append) slist_append;
    decltype(&curl_slist_free_all) slist_free_all;
    decltype(&curl_multi_init) multi_init;
    decltype(&curl_multi_cleanup) multi_cleanup;
    decltype(&curl_multi_add_handle) multi_add_handle;
    decltype(&curl_multi_remove_handle) multi_remove_handle;
    decltype(&curl_multi_perform) multi_perform;
    decltype(&curl_multi_info_read) multi_info_read;
    decltype(&curl_multi_poll) multi_poll;
    decltype(&curl_multi_wakeup) multi_wakeup;
    decltype(&curl_version_info) version_info;

    // The oldest libcurl whose options and entry points the transfers use.
    static constexpr unsigned kOldestVersion = 0x075500;

    // The library of that name with every entry point above; null, with the
    // reason in `error`, when it or one of them is missing or it is older than
    // kOldestVersion. A library opened
    // here is never closed: its TLS back end cannot be unloaded safely.
    static std::unique_ptr<CurlLibrary> Open(const char* soname, std::string& error);
};

// The process's libcurl, opened and initialised (curl_global_init) on the first
// call, from the thread that starts transfers; null for good when it cannot be
// opened, and `SharedCurlError` then says why.
const CurlLibrary* SharedCurl();
const std::string& SharedCurlError();

}  // namespace Varn
