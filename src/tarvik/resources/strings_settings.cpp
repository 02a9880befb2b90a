#include <array>

#include "tarvik/resources/tarvik_strings.h"

namespace tarvik {

namespace {

// The Settings dialog and the connection editor. Ids 9680..9699 are new texts of these windows.
// A page's entry is its layout text: the title on the first line, then the labels of its fields, one
// per line, in the order the page shows them (every language has the same number of lines).
constexpr std::array kEntries = std::to_array<kr::StringEntry>({
    {9680, "Settings", "Einstellungen", "设置"},
    {9681, "Please select a child item of '%s'.", "Bitte wählen Sie einen Unterpunkt von '%s'.",
     "请选择 '%s' 的一个子项。"},
    {9682, "Communication", "Kommunikation", "通信"},
    {9683,
     "Time-outs\nPolling time (ms)\nKR time-out (ms)\nHCU time-out (ms)\nTime-out of write commands "
     "(ms)\nTime-out of slow commands (ms)",
     "Zeitlimits\nAbfragezeit (ms)\nKR-Zeitlimit (ms)\nHCU-Zeitlimit (ms)\nZeitlimit der Schreibbefehle "
     "(ms)\nZeitlimit langsamer Befehle (ms)",
     "超时\n轮询时间 (毫秒)\nKR 超时 (毫秒)\nHCU 超时 (毫秒)\n写入命令超时 (毫秒)\n慢速命令超时 (毫秒)"},
    {9684, "Direct Link\nCOM port\nBaud rate", "Direktverbindung\nCOM-Port\nBaudrate",
     "直接连接\nCOM 端口\n波特率"},
    {9685, "Modem %d\nName\nCOM port\nInitialisation\nDial command",
     "Modem %d\nName\nCOM-Port\nInitialisierung\nWählbefehl",
     "调制解调器 %d\n名称\nCOM 端口\n初始化\n拨号命令"},
    {9686, "Memory Card\nWatch all drives for memory cards\nCharacters of the root file name",
     "Speicherkarte\nAlle Laufwerke auf Speicherkarten überwachen\nZeichen des Stammdateinamens",
     "存储卡\n监视所有驱动器上的存储卡\n根文件名的字符数"},
    {9687,
     "Appearance\nLanguage\nA new language takes effect at the next start.\nUS date and time format "
     "(12/31/2026 11:59:00 PM)\nMove the mouse pointer to every message\nShow balloon tips at invalid "
     "values\nShow the trace when a link opens\nShow dominant frequencies in the event list\nAlways ask for "
     "the password\nSuggest the default password",
     "Darstellung\nSprache\nEine neue Sprache gilt ab dem nächsten Start.\nUS-Datums- und Zeitformat "
     "(12/31/2026 11:59:00 PM)\nMauszeiger zu jeder Meldung bewegen\nSprechblasen bei ungültigen Werten "
     "zeigen\nProtokoll beim Öffnen einer Verbindung zeigen\nDominante Frequenzen in der Ereignisliste "
     "zeigen\nImmer nach dem Passwort fragen\nStandardpasswort vorschlagen",
     "外观\n语言\n新语言在下次启动时生效。\n美国日期和时间格式 (12/31/2026 11:59:00 PM)\n"
     "将鼠标指针移到每条消息\n输入无效值时显示气泡提示\n打开连接时显示跟踪\n在事件列表中显示主频率\n"
     "总是询问密码\n建议默认密码"},
    {9688,
     "Local Events\nName event files by date and time\nCorrect recorder times to local time\nCorrection "
     "(hours)\nRecently used folders\nClear list",
     "Lokale Ereignisse\nEreignisdateien nach Datum und Zeit benennen\nRekorderzeiten auf Ortszeit "
     "korrigieren\nKorrektur (Stunden)\nZuletzt verwendete Ordner\nListe leeren",
     "本地事件\n按日期和时间命名事件文件\n将记录仪时间校正为本地时间\n校正 "
     "(小时)\n最近使用的文件夹\n清除列表"},
    {9689,
     "Paths\nParameter folder\nData folder\nTemporary folder\nInstant download folder\nConnection file "
     "folder\nBrowse...",
     "Pfade\nParameterordner\nDatenordner\nTemporärer Ordner\nOrdner für Sofort-Downloads\nOrdner der "
     "Verbindungsdateien\nDurchsuchen...",
     "路径\n参数文件夹\n数据文件夹\n临时文件夹\n即时下载文件夹\n连接文件文件夹\n浏览..."},
    {9690, "Serial ports\nPort\nDevice\nSerial devices of this computer",
     "Serielle Ports\nPort\nGerät\nSerielle Geräte dieses Computers", "串行端口\n端口\n设备\n本机的串行设备"},
    {9691, "OK\nCancel", "OK\nAbbrechen", "确定\n取消"},
    {9692,
     "Create Link File\nLink\nBaud rate\nCOM port\nDial time-out (s)\nConnection time-out (ms)\nDial "
     "command\nModem initialisation\nPhone number\nIP address\nIP port\nConnect to the host name\nHost "
     "name\nSave Connection File",
     "Verbindungsdatei erstellen\nVerbindung\nBaudrate\nCOM-Port\nWählzeitlimit (s)\nVerbindungszeitlimit "
     "(ms)\nWählbefehl\nModeminitialisierung\nTelefonnummer\nIP-Adresse\nIP-Port\nMit dem Hostnamen "
     "verbinden\nHostname\nVerbindungsdatei speichern",
     "创建连接文件\n连接\n波特率\nCOM 端口\n拨号超时 (秒)\n连接超时 (毫秒)\n拨号命令\n调制解调器初始化\n"
     "电话号码\nIP 地址\nIP 端口\n连接到主机名\n主机名\n保存连接文件"},
    {9693, "Modem 1\nModem 2\nSerial line\nTCP/IP", "Modem 1\nModem 2\nSerielle Leitung\nTCP/IP",
     "调制解调器 1\n调制解调器 2\n串行线路\nTCP/IP"},
    {9694, "Serial port\nModem\nNetwork", "Serieller Port\nModem\nNetzwerk", "串行端口\n调制解调器\n网络"},
    {9695, "Please enter a full path (beginning with \"/\").",
     "Bitte geben Sie einen vollständigen Pfad ein (beginnend mit \"/\").",
     "请输入完整路径（以 \"/\" 开头）。"},
});

}  // namespace

std::span<const kr::StringEntry> SettingsStrings() {
  return kEntries;
}

}  // namespace tarvik
