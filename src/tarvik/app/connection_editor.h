#pragma once

#include <array>
#include <filesystem>
#include <optional>
#include <string>

#include "krcommon/string_table.h"
#include "tarvik/app/connection_document.h"
#include "tarvik/app/tarvik_settings.h"
#include "tarvik/uiport/ui_port.h"

namespace tarvik {

// The model of the connection editor (`CFileLinkDlg`, File > Create Link File...): the values the
// window shows, their choices and checks, and writing the new document.
class ConnectionEditorModel {
 public:
  static constexpr std::array<int, 7> kBaudChoices = {2400, 4800, 9600, 19200, 38400, 57600, 115200};
  static constexpr int kFirstComPort = 1;
  static constexpr int kLastComPort = 16;
  // Modem 1, Modem 2, serial line, TCP.
  static constexpr std::array<LinkKind, 4> kLinkKindChoices = {LinkKind::kModem1, LinkKind::kModem2,
                                                               LinkKind::kSerial, LinkKind::kTcp};

  enum class Field { kPhoneNumber, kIpPort };
  struct Problem {
    Field field;
    int message_id;
    std::string text;
  };

  enum class SaveOutcome { kSaved, kInvalid, kDeclined, kFailed };

  // Starts from the settings: baud of [FileLink], COM port of Modem 1, the FileLink time-outs, link
  // kind Modem 1 with its modem texts. `settings` must outlive the model.
  explicit ConnectionEditorModel(const TarvikSettings& settings);

  ConnectionRecord& values() { return values_; }
  const ConnectionRecord& values() const { return values_; }

  // A modem kind shows the dial command and initialisation of its modem definition.
  void SelectLinkKind(LinkKind kind);

  // The address control's four numbers, written as "%d.%d.%d.%d" (each held to 0..255).
  void SetIpAddress(int a, int b, int c, int d);
  // The four numbers of the dotted address, zeros for anything unreadable.
  std::array<int, 4> IpAddressParts() const;

  // "Open existing Connection File for editing": the file's values as they stand (513 when it is not
  // a connection file; the editor keeps its values then).
  bool LoadExisting(const std::filesystem::path& path, UiPort& ui, const kr::StringTable& strings);

  // The first invalid field. Modem kinds need a phone number of 1..40 characters (388) made of
  // digits and dialling characters (387); TCP needs a port 1..65535 (497).
  std::optional<Problem> Validate(const kr::StringTable& strings) const;

  // OK, after the save dialog gave `path`: checks the values, asks before overwriting (507), writes
  // a version-7 file and, with the host-name flag, resolves the host into the IP address. On kSaved
  // document() is what the engine connects to.
  SaveOutcome Save(const std::filesystem::path& path, const HostResolver& resolver, UiPort& ui,
                   const kr::StringTable& strings);

  const std::optional<ConnectionDocument>& document() const { return document_; }

 private:
  const TarvikSettings& settings_;
  ConnectionRecord values_;
  std::optional<ConnectionDocument> document_;
};

// The checks of a phone number for dialling: empty or longer than 40 characters is message 388;
// characters other than digits, blanks and the dialling characters + - ( ) , . / * # ! @ W P T,
// or no digit at all, is message 387. Returns the message id, or 0 when the number is good.
int CheckPhoneNumber(const std::string& number);

}  // namespace tarvik
