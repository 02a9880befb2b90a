#include "krtool/krtool_app.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <optional>

#include "krcommon/event_header.h"
#include "krcommon/event_values.h"
#include "krcommon/macro_cipher.h"
#include "krtool/seismic_commands.h"
#include "tarvik/eventfiles/event_converter.h"
#include "tarvik/eventfiles/event_kind.h"
#include "tarvik/eventfiles/export_options.h"
#include "tarvik/eventfiles/header_text.h"
#include "tarvik/resources/tarvik_strings.h"
#include "tarvik/uiport/ui_port.h"

namespace krtool {

namespace {

// The console stands in for the message boxes: every message is one line on the error stream.
class ConsoleUi final : public tarvik::UiPort {
 public:
  explicit ConsoleUi(std::ostream& err) : err_(err) {}
  tarvik::MessageAnswer ShowMessage(int, const std::string& text, tarvik::MessageIcon,
                                    tarvik::MessageButtons) override {
    err_ << text << '\n';
    return tarvik::MessageAnswer::kOk;
  }

 private:
  std::ostream& err_;
};

bool IsHelp(const std::string& arg) {
  return arg == "--help" || arg == "-h" || arg == "help";
}

class Tool {
 public:
  Tool(std::ostream& out, std::ostream& err, const kr::Clock& clock)
      : out_(out), err_(err), clock_(clock), strings_(tarvik::MakeTarvikStringTable()) {}

  int Run(std::span<const std::string> args) {
    if (args.empty()) {
      err_ << strings_.Text(kMsgUsage);
      return kExitUsage;
    }
    const std::string& command = args[0];
    std::span<const std::string> rest = args.subspan(1);
    if (IsHelp(command)) {
      out_ << strings_.Text(kMsgUsage);
      return kExitOk;
    }
    if (command == "fields") return Fields(rest);
    if (command == "info") return Info(rest);
    if (command == "kind") return Kind(rest);
    if (command == "export") return Export(rest);
    if (command == "encipher" || command == "decipher") return Cipher(command == "encipher", rest);
    ToolContext context{out_, err_, clock_, strings_};
    if (command == "mseed") return RunMseed(rest, context);
    if (command == "sac") return RunSac(rest, context);
    if (command == "assess") return RunAssess(rest, context);
    err_ << strings_.Format(kMsgUnknownCommand, command) << '\n';
    return kExitUsage;
  }

 private:
  int Fields(std::span<const std::string> args) {
    if (!args.empty() && IsHelp(args[0])) return Help(kMsgFieldsHelp);
    if (args.size() != 1) return WrongArguments("fields");
    std::optional<kr::HeaderBytes> header = ReadHeader(args[0]);
    if (!header) return kExitFailed;
    out_ << tarvik::FieldDump(*header);
    return kExitOk;
  }

  int Info(std::span<const std::string> args) {
    if (!args.empty() && IsHelp(args[0])) return Help(kMsgInfoHelp);
    if (args.empty() || args.size() > 2) return WrongArguments("info");
    tarvik::ExportOptions options;
    if (args.size() == 2) {
      int status = ApplyOption(options, args[1]);
      if (status != kExitOk) return status;
    }
    std::optional<kr::HeaderBytes> header = ReadHeader(args[0]);
    if (!header) return kExitFailed;
    tarvik::HeaderTextSettings settings =
        tarvik::MakeHeaderTextSettings(clock_, options.UsDateFormat != 0, false, false, "");
    out_ << tarvik::FileInformation(*header, settings);
    return kExitOk;
  }

  int Kind(std::span<const std::string> args) {
    if (!args.empty() && IsHelp(args[0])) return Help(kMsgKindHelp);
    if (args.size() != 1) return WrongArguments("kind");
    std::optional<kr::HeaderBytes> header = ReadHeader(args[0]);
    if (!header) return kExitFailed;
    int kind = tarvik::EventKindFromHeader(*header);
    out_ << kind << ' ' << tarvik::KindExtension(kind) << '\n';
    return kExitOk;
  }

  int Export(std::span<const std::string> args) {
    if (!args.empty() && IsHelp(args[0])) return Help(kMsgExportHelp);
    if (args.size() < 2) return WrongArguments("export");
    tarvik::ExportOptions options;
    for (const std::string& option : args.subspan(2)) {
      int status = ApplyOption(options, option);
      if (status != kExitOk) return status;
    }
    ConsoleUi ui(err_);
    tarvik::EventConverter converter(strings_, ui, clock_);
    converter.SetOptions(options);
    return converter.Convert(args[0], args[1]) == 1 ? kExitOk : kExitFailed;
  }

  // The "{{...}}" blocks of macros and scripts.
  int Cipher(bool encipher, std::span<const std::string> args) {
    if (!args.empty() && IsHelp(args[0])) return Help(kMsgCipherHelp);
    if (args.size() != 1) return WrongArguments(encipher ? "encipher" : "decipher");
    if (encipher) {
      out_ << kr::EncipherMacroText(args[0]) << '\n';
      return kExitOk;
    }
    const std::optional<std::string> clear = kr::DecipherMacroText(args[0]);
    if (!clear) {
      err_ << strings_.Format(kMsgNotEnciphered, args[0]) << '\n';
      return kExitFailed;
    }
    out_ << *clear << '\n';
    return kExitOk;
  }

  int Help(int id) {
    out_ << strings_.Text(id);
    return kExitOk;
  }

  int WrongArguments(const char* command) {
    err_ << strings_.Format(kMsgWrongArguments, std::string(command)) << '\n';
    return kExitUsage;
  }

  int ApplyOption(tarvik::ExportOptions& options, const std::string& option) {
    switch (tarvik::SetExportOption(options, option)) {
      case tarvik::ExportOptionError::kNone:
        return kExitOk;
      case tarvik::ExportOptionError::kMissingEquals:
        err_ << strings_.Format(kMsgMissingEquals, option) << '\n';
        break;
      case tarvik::ExportOptionError::kUnknownKey:
        err_ << strings_.Format(kMsgUnknownOption, option) << '\n';
        break;
      case tarvik::ExportOptionError::kNotANumber:
        err_ << strings_.Format(kMsgNotANumber, option) << '\n';
        break;
    }
    return kExitUsage;
  }

  // The first 256 bytes of an event file, or nullopt after a message.
  std::optional<kr::HeaderBytes> ReadHeader(const std::string& path) {
    std::error_code error;
    if (std::filesystem::is_directory(path, error)) {
      err_ << strings_.Format(kMsgNotAFile, path) << '\n';
      return std::nullopt;
    }
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
      err_ << strings_.Format(kMsgCannotOpen, path, std::string(std::strerror(errno))) << '\n';
      return std::nullopt;
    }
    kr::HeaderBytes header{};
    std::size_t got = std::fread(header.data(), 1, header.size(), file);
    std::fclose(file);
    if (got != header.size()) {
      err_ << strings_.Text(tarvik::kMsgCantReadHeader) << '\n';
      return std::nullopt;
    }
    return header;
  }

  std::ostream& out_;
  std::ostream& err_;
  const kr::Clock& clock_;
  kr::StringTable strings_;
};

}  // namespace

int RunKrtool(std::span<const std::string> args, std::ostream& out, std::ostream& err,
              const kr::Clock& clock) {
  return Tool(out, err, clock).Run(args);
}

}  // namespace krtool
