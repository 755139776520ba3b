// libcurl, found and bound at run time through dlopen so the game runs on a machine without it.
#pragma once
#include "platform/curl/curl_abi.h"

#include <string>
#include <vector>

namespace tundrix {

struct CurlFunctions {
    curl::GlobalInitFn globalInit = nullptr;
    curl::EasyInitFn easyInit = nullptr;
    curl::EasySetoptFn easySetopt = nullptr;
    curl::EasyPerformFn easyPerform = nullptr;
    curl::EasyGetinfoFn easyGetinfo = nullptr;
    curl::EasyStrerrorFn easyStrerror = nullptr;
    curl::EasyCleanupFn easyCleanup = nullptr;
    curl::SlistAppendFn slistAppend = nullptr;
    curl::SlistFreeAllFn slistFreeAll = nullptr;
};

class CurlLibrary {
  public:
    // The library names (or paths) tried in order.
    static std::vector<std::string> defaultNames() { return {"libcurl.so.4", "libcurl-gnutls.so.4"}; }

    explicit CurlLibrary(std::vector<std::string> names = defaultNames());
    virtual ~CurlLibrary() = default; // the library is never unloaded: curl may have left handlers behind

    // Loads the first library that exists, binds every function and initialises curl once. Once this has
    // succeeded it stays done; after a failure the next call tries again. On failure errorText is
    // "Kunde inte hitta <library>" or "Kunde inte hitta funktionen <name> i <library>".
    bool load(std::string& errorText);
    bool loaded() const { return loaded_; }
    const CurlFunctions& functions() const { return fn_; }

  private:
    std::vector<std::string> names_;
    bool loaded_ = false;
    CurlFunctions fn_;
};

} // namespace tundrix
