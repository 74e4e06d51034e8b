// A minimal reader for command arguments: options of the form "--name VALUE"
// or "--name=VALUE", flags, and positional arguments, in any order.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace kt {

class Arguments {
  public:
    // args excludes the command name.
    explicit Arguments(std::vector<std::string> args) : args_(std::move(args)) {}
    static Arguments fromMain(int argc, char** argv);  // skips argv[0]

    // Removes and returns the value of --name (last occurrence wins). A
    // one-letter name is an option of one dash: -j 4 or -j4.
    // Sets error() when the option is present without a value.
    std::optional<std::string> take(const std::string& name);
    // Removes every occurrence of --name and returns their values in order.
    std::vector<std::string> takeAll(const std::string& name);
    // Removes --name and answers whether it was there.
    bool takeFlag(const std::string& name);
    // What is left; an unknown option ("-x" or "--x") sets error().
    std::vector<std::string> positionals();

    const std::string& error() const { return error_; }

  private:
    std::vector<std::string> args_;
    std::string error_;
};

// Reports a mistake on a command's line ("kavtamor COMMAND: MESSAGE") with the
// command's help, or without one a pointer to --help; answers the exit status 2.
int usageError(const char* command, const std::string& message, const char* help = nullptr);

// Strict number parsing: the whole text must be the number, and a finite one
// ("nan" and "inf" are refused).
std::optional<double> parseNumber(const std::string& text);
std::optional<long> parseInteger(const std::string& text);

}  // namespace kt
