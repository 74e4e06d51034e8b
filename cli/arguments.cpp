#include "cli/arguments.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace kt {

Arguments Arguments::fromMain(int argc, char** argv) {
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) args.emplace_back(argv[i]);
    return Arguments(std::move(args));
}

std::vector<std::string> Arguments::takeAll(const std::string& name) {
    const bool letter = name.size() == 1;
    const std::string flag = (letter ? "-" : "--") + name;
    std::vector<std::string> values;
    std::vector<std::string> rest;
    for (std::size_t i = 0; i < args_.size(); ++i) {
        const std::string& arg = args_[i];
        if (arg == flag) {
            if (i + 1 < args_.size()) {
                values.push_back(args_[++i]);
            } else if (error_.empty()) {
                error_ = flag + " needs a value";
            }
        } else if (arg.rfind(flag + "=", 0) == 0) {
            values.push_back(arg.substr(flag.size() + 1));
        } else if (letter && arg.size() > 2 && arg.rfind(flag, 0) == 0) {
            values.push_back(arg.substr(2));  // -j4
        } else {
            rest.push_back(arg);
        }
    }
    args_ = std::move(rest);
    return values;
}

std::optional<std::string> Arguments::take(const std::string& name) {
    std::vector<std::string> values = takeAll(name);
    if (values.empty()) return std::nullopt;
    return values.back();
}

bool Arguments::takeFlag(const std::string& name) {
    const std::string flag = "--" + name;
    bool found = false;
    std::vector<std::string> rest;
    for (const std::string& arg : args_) {
        if (arg == flag) {
            found = true;
        } else {
            rest.push_back(arg);
        }
    }
    args_ = std::move(rest);
    return found;
}

std::vector<std::string> Arguments::positionals() {
    std::vector<std::string> result;
    bool onlyPositionals = false;
    for (const std::string& arg : args_) {
        if (!onlyPositionals && arg == "--") {
            onlyPositionals = true;
        } else if (!onlyPositionals && arg.size() > 1 && arg[0] == '-' &&
                   !parseNumber(arg).has_value()) {
            if (error_.empty()) error_ = "unknown option " + arg;
        } else {
            result.push_back(arg);
        }
    }
    return result;
}

std::optional<double> parseNumber(const std::string& text) {
    if (text.empty()) return std::nullopt;
    char* end = nullptr;
    errno = 0;
    double value = std::strtod(text.c_str(), &end);
    if (end != text.c_str() + text.size() || errno == ERANGE || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<long> parseInteger(const std::string& text) {
    if (text.empty()) return std::nullopt;
    char* end = nullptr;
    errno = 0;
    long value = std::strtol(text.c_str(), &end, 10);
    if (end != text.c_str() + text.size() || errno == ERANGE) return std::nullopt;
    return value;
}

int usageError(const char* command, const std::string& message, const char* help) {
    if (help)
        std::fprintf(stderr, "kavtamor %s: %s\n\n%s", command, message.c_str(), help);
    else
        std::fprintf(stderr, "kavtamor %s: %s\n(see 'kavtamor %s --help')\n", command,
                     message.c_str(), command);
    return 2;
}

}  // namespace kt
