// Command-line arguments: positional words and "--name value" options.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace zelir_cli {

class Args {
  public:
    // `flags` are options without a value; every other "--name" takes the next word as value.
    // False (with `error` set) for an option without its value.
    bool Parse(int argc, char** argv, const std::set<std::string>& flags, std::string& error);

    const std::vector<std::string>& Positional() const { return positional_; }
    bool Has(const std::string& name) const { return options_.count(name) != 0; }
    // The last value given for an option.
    std::optional<std::string> Option(const std::string& name) const;
    // Every value given for an option that may repeat, in order.
    std::vector<std::string> Values(const std::string& name) const;
    // Names of options given that are not in `known`.
    std::vector<std::string> Unknown(const std::set<std::string>& known) const;

  private:
    std::vector<std::string> positional_;
    std::map<std::string, std::vector<std::string>> options_;
};

// Decimal number within [min, max]; nullopt for anything else.
std::optional<int64_t> ParseInteger(const std::string& text, int64_t min, int64_t max);

// Prints "zelir: <message>" on stderr and returns the exit code.
int Fail(int code, const std::string& message);

// Checks the positional count and the option names of a command; prints the usage on failure.
bool CheckUsage(const Args& args, const char* command, size_t minPositional, size_t maxPositional,
                const std::set<std::string>& known);

std::wstring Wide(const std::string& text);

}  // namespace zelir_cli
