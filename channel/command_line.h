// The operator's command line: its words and options apart, and every subcommand's help.
#pragma once
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace tundrix::channel {

// The command's words and its "--name value" options, apart.
struct Parsed {
    std::vector<std::string> words;
    std::map<std::string, std::string> options;
    std::string error;

    bool has(const std::string& name) const { return options.count(name) != 0; }
    std::string get(const std::string& name, const std::string& fallback = "") const {
        const auto it = options.find(name);
        return it == options.end() ? fallback : it->second;
    }
};

// Options that take no value: --help, --create, --unverified, --all, --publish, --early.
Parsed parse(const std::vector<std::string>& args);

// The usage lines of every subcommand.
std::string usage();
// The help of the subcommands that begin with these words ("score", "score hide"): what each does and
// every option with its default; nothing if none does.
std::optional<std::string> helpFor(const std::vector<std::string>& words);

} // namespace tundrix::channel
