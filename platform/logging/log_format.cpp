#include "platform/logging/log_format.h"

#include <array>

namespace vorlane {
namespace {

enum class Specifier { publicText, privateText, number, flag };

struct Directive {
  std::string_view spelling;
  Specifier specifier;
};

// Longest spellings first, so "%ld" is not read as "%l" followed by "d".
constexpr std::array<Directive, 6> directives{{
    {"%{public}s", Specifier::publicText},
    {"%{bool}d", Specifier::flag},
    {"%ld", Specifier::number},
    {"%s", Specifier::privateText},
    {"%d", Specifier::number},
    {"%u", Specifier::number},
}};

void appendNumber(std::string& out, const LogArgument& arg) {
  switch (arg.kind()) {
    case LogArgument::Kind::signedInteger:
      out += std::to_string(arg.signedValue());
      return;
    case LogArgument::Kind::unsignedInteger:
    case LogArgument::Kind::flag:
      out += std::to_string(arg.unsignedValue());
      return;
    case LogArgument::Kind::text:
      out += "<invalid>";
      return;
  }
}

void appendFlag(std::string& out, const LogArgument& arg) {
  switch (arg.kind()) {
    case LogArgument::Kind::signedInteger:
      out += arg.signedValue() != 0 ? "true" : "false";
      return;
    case LogArgument::Kind::unsignedInteger:
    case LogArgument::Kind::flag:
      out += arg.unsignedValue() != 0 ? "true" : "false";
      return;
    case LogArgument::Kind::text:
      out += "<invalid>";
      return;
  }
}

void appendArgument(std::string& out, Specifier specifier, const LogArgument& arg) {
  switch (specifier) {
    case Specifier::publicText:
      if (arg.kind() == LogArgument::Kind::text) {
        out += arg.text();
      } else {
        out += "<invalid>";
      }
      return;
    case Specifier::privateText:
      out += "<private>";
      return;
    case Specifier::number:
      appendNumber(out, arg);
      return;
    case Specifier::flag:
      appendFlag(out, arg);
      return;
  }
}

}  // namespace

std::string formatLogMessage(std::string_view format, std::initializer_list<LogArgument> args) {
  std::string out;
  out.reserve(format.size() + 16);
  auto next = args.begin();
  std::size_t i = 0;
  while (i < format.size()) {
    if (format[i] != '%') {
      out += format[i++];
      continue;
    }
    if (format.substr(i, 2) == "%%") {
      out += '%';
      i += 2;
      continue;
    }
    const Directive* found = nullptr;
    for (const Directive& d : directives) {
      if (format.substr(i, d.spelling.size()) == d.spelling) {
        found = &d;
        break;
      }
    }
    if (found == nullptr) {
      out += format[i++];
      continue;
    }
    i += found->spelling.size();
    if (next == args.end()) {
      out += "<missing>";
    } else {
      appendArgument(out, found->specifier, *next++);
    }
  }
  return out;
}

}  // namespace vorlane
