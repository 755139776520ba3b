// Finds libcurl with dlopen and binds its functions with dlsym; never linked, never unloaded.
#include "platform/curl/curl_library.h"

#include <dlfcn.h>

#include <type_traits>
#include <utility>

namespace tundrix {

CurlLibrary::CurlLibrary(std::vector<std::string> names) : names_(std::move(names)) {}

bool CurlLibrary::load(std::string& errorText) {
    if (loaded_) return true;
    if (names_.empty()) {
        errorText = "Kunde inte hitta libcurl";
        return false;
    }
    std::string found;
    void* handle = nullptr;
    for (const std::string& name : names_) {
        handle = dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (handle) {
            found = name;
            break;
        }
    }
    if (!handle) {
        errorText = "Kunde inte hitta " + names_.front();
        return false;
    }

    CurlFunctions fn;
    std::string missing;
    auto bind = [&](auto& slot, const char* name) {
        if (!missing.empty()) return;
        void* symbol = dlsym(handle, name);
        if (!symbol) {
            missing = name;
            return;
        }
        slot = reinterpret_cast<std::remove_reference_t<decltype(slot)>>(symbol);
    };
    bind(fn.globalInit, "curl_global_init");
    bind(fn.easyInit, "curl_easy_init");
    bind(fn.easySetopt, "curl_easy_setopt");
    bind(fn.easyPerform, "curl_easy_perform");
    bind(fn.easyGetinfo, "curl_easy_getinfo");
    bind(fn.easyStrerror, "curl_easy_strerror");
    bind(fn.easyCleanup, "curl_easy_cleanup");
    bind(fn.slistAppend, "curl_slist_append");
    bind(fn.slistFreeAll, "curl_slist_free_all");
    if (!missing.empty()) {
        errorText = "Kunde inte hitta funktionen " + missing + " i " + found;
        return false;
    }
    if (fn.globalInit(curl::GLOBAL_DEFAULT) != curl::E_OK) {
        errorText = "Kunde inte starta " + found;
        return false;
    }
    fn_ = fn;
    loaded_ = true;
    return true;
}

} // namespace tundrix
