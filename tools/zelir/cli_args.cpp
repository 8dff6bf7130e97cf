#include "cli_args.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cwchar>

#include "commands.h"

namespace zelir_cli {

bool Args::Parse(int argc, char** argv, const std::set<std::string>& flags, std::string& error) {
    for (int i = 0; i < argc; ++i) {
        const std::string word = argv[i];
        if (word.size() <= 2 || word.compare(0, 2, "--") != 0) {
            positional_.push_back(word);
            continue;
        }
        const std::string name = word.substr(2);
        if (flags.count(name) != 0) {
            options_[name].push_back("");
            continue;
        }
        if (i + 1 >= argc) {
            error = "option --" + name + " needs a value";
            return false;
        }
        options_[name].push_back(argv[++i]);
    }
    return true;
}

std::optional<std::string> Args::Option(const std::string& name) const {
    const auto found = options_.find(name);
    if (found == options_.end()) return std::nullopt;
    return found->second.back();
}

std::vector<std::string> Args::Values(const std::string& name) const {
    const auto found = options_.find(name);
    return found == options_.end() ? std::vector<std::string>{} : found->second;
}

std::vector<std::string> Args::Unknown(const std::set<std::string>& known) const {
    std::vector<std::string> unknown;
    for (const auto& [name, value] : options_) {
        if (known.count(name) == 0) unknown.push_back(name);
    }
    return unknown;
}

std::optional<int64_t> ParseInteger(const std::string& text, int64_t min, int64_t max) {
    if (text.empty()) return std::nullopt;
    errno = 0;
    char* end = nullptr;
    const long long value = std::strtoll(text.c_str(), &end, 10);
    if (errno != 0 || end == text.c_str() || *end != '\0' || value < min || value > max) {
        return std::nullopt;
    }
    return value;
}

int Fail(int code, const std::string& message) {
    std::fprintf(stderr, "zelir: %s\n", message.c_str());
    return code;
}

bool CheckUsage(const Args& args, const char* command, size_t minPositional, size_t maxPositional,
                const std::set<std::string>& known) {
    const size_t count = args.Positional().size();
    std::string problem;
    if (count < minPositional) problem = "missing arguments";
    if (count > maxPositional) problem = "unexpected argument '" + args.Positional().back() + "'";
    for (const std::string& name : args.Unknown(known)) problem = "unknown option --" + name;
    if (problem.empty()) return true;
    Fail(kExitUsage,
         std::string(command) + ": " + problem + " (see 'zelir " + command + " --help')");
    return false;
}

std::wstring Wide(const std::string& text) {
    std::mbstate_t state{};
    const char* source = text.c_str();
    const size_t length = std::mbsrtowcs(nullptr, &source, 0, &state);
    if (length == static_cast<size_t>(-1)) return std::wstring(text.begin(), text.end());
    std::wstring wide(length, L'\0');
    source = text.c_str();
    std::mbsrtowcs(wide.data(), &source, length, &state);
    return wide;
}

}  // namespace zelir_cli
