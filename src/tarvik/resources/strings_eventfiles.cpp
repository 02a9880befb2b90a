#include <array>

#include "tarvik/resources/tarvik_strings.h"

namespace tarvik {

namespace {

// Event files: the ASCII export and the krtool utility. Ids 25100..25199 are reserved for this area.
constexpr std::array kEntries = std::to_array<kr::StringEntry>({
    {25100, "Input file open error", "Fehler beim Öffnen der Eingabedatei", "输入文件打开错误"},
    {25101, "Output file open error", "Fehler beim Öffnen der Ausgabedatei", "输出文件打开错误"},
    {25102, "Can't read Headerbuffer", "Dateikopf kann nicht gelesen werden", "无法读取文件头"},
    {25103, "ERROR: number for first and last samples out of range",
     "FEHLER: Anzahl der ersten und letzten Abtastwerte außerhalb des Bereichs",
     "错误：首尾采样点数超出范围"},
    {25104, "ERROR: number for ignore first and include samples out of range",
     "FEHLER: Anzahl der übersprungenen und aufgenommenen Abtastwerte außerhalb des Bereichs",
     "错误：跳过和包含的采样点数超出范围"},
    {25105, "Output file write error", "Fehler beim Schreiben der Ausgabedatei", "输出文件写入错误"},
    {25110,
     "Usage: krtool COMMAND ARGUMENTS\n"
     "\n"
     "Commands:\n"
     "  fields FILE                     print every header field of an event file\n"
     "  info FILE [UsDateFormat=0|1]    print the file information of an event file\n"
     "  kind FILE                       print the file kind number and its extension\n"
     "  export FILE OUT [KEY=VALUE ...] convert an event file into tab-separated text\n"
     "\n"
     "\"krtool COMMAND --help\" describes one command.\n",
     "Aufruf: krtool BEFEHL ARGUMENTE\n"
     "\n"
     "Befehle:\n"
     "  fields DATEI                       alle Felder des Dateikopfs einer Ereignisdatei ausgeben\n"
     "  info DATEI [UsDateFormat=0|1]      die Dateiinformation einer Ereignisdatei ausgeben\n"
     "  kind DATEI                         Nummer und Endung der Dateiart ausgeben\n"
     "  export DATEI AUS [KEY=WERT ...]    eine Ereignisdatei in tabulatorgetrennten Text umwandeln\n"
     "\n"
     "\"krtool BEFEHL --help\" beschreibt einen Befehl.\n",
     "用法：krtool 命令 参数\n"
     "\n"
     "命令：\n"
     "  fields 文件                     输出事件文件头的全部字段\n"
     "  info 文件 [UsDateFormat=0|1]    输出事件文件的文件信息\n"
     "  kind 文件                       输出文件类型编号及其扩展名\n"
     "  export 文件 输出 [键=值 ...]    将事件文件转换为制表符分隔的文本\n"
     "\n"
     "\"krtool 命令 --help\" 说明单个命令。\n"},
    {25111,
     "Usage: krtool fields FILE\n"
     "Prints every field of the 256-byte event header of FILE, one line per field, as stored.\n",
     "Aufruf: krtool fields DATEI\n"
     "Gibt jedes Feld des 256 Byte langen Dateikopfs von DATEI aus, eine Zeile je Feld, wie gespeichert.\n",
     "用法：krtool fields 文件\n"
     "按存储原样输出文件 256 字节事件文件头的每个字段，每行一个字段。\n"},
    {25112,
     "Usage: krtool info FILE [UsDateFormat=0|1]\n"
     "Prints the file information of FILE: the header in sections, with units and dates.\n"
     "UsDateFormat=1 writes dates as month/day/year and times with AM/PM.\n",
     "Aufruf: krtool info DATEI [UsDateFormat=0|1]\n"
     "Gibt die Dateiinformation von DATEI aus: den Dateikopf in Abschnitten, mit Einheiten und Daten.\n"
     "UsDateFormat=1 schreibt Daten als Monat/Tag/Jahr und Zeiten mit AM/PM.\n",
     "用法：krtool info 文件 [UsDateFormat=0|1]\n"
     "输出文件的文件信息：按段落列出文件头，带单位和日期。\n"
     "UsDateFormat=1 以 月/日/年 格式输出日期，时间带 AM/PM。\n"},
    {25113,
     "Usage: krtool export FILE OUT [KEY=VALUE ...]\n"
     "Converts the event file FILE into the UTF-16 text file OUT.\n"
     "KEY is one of the export settings (default in brackets): Header (1), Interpreted (1), Data (1),\n"
     "ChannelFiles (0), ChannelMinMax (0), Average (0), RootMeasSquare (0), NotLSB (0), Trim (0),\n"
     "TrimFirstLast (0), FirstSamples (100), LastSamples (100), IgnoreFirst (0), Include (100),\n"
     "TimeInformation (0), UsDateFormat (0).\n"
     "Exit status 0 when the conversion ran to the end, 1 when it stopped with a message, 2 for a\n"
     "wrong command line.\n",
     "Aufruf: krtool export DATEI AUS [KEY=WERT ...]\n"
     "Wandelt die Ereignisdatei DATEI in die UTF-16-Textdatei AUS um.\n"
     "KEY ist eine der Exporteinstellungen (Vorgabe in Klammern): Header (1), Interpreted (1), Data (1),\n"
     "ChannelFiles (0), ChannelMinMax (0), Average (0), RootMeasSquare (0), NotLSB (0), Trim (0),\n"
     "TrimFirstLast (0), FirstSamples (100), LastSamples (100), IgnoreFirst (0), Include (100),\n"
     "TimeInformation (0), UsDateFormat (0).\n"
     "Rückgabewert 0, wenn die Umwandlung vollständig lief, 1, wenn sie mit einer Meldung abbrach, 2 bei\n"
     "fehlerhafter Befehlszeile.\n",
     "用法：krtool export 文件 输出 [键=值 ...]\n"
     "将事件文件转换为 UTF-16 文本文件“输出”。\n"
     "键为导出设置之一（括号内为默认值）：Header (1)、Interpreted (1)、Data (1)、\n"
     "ChannelFiles (0)、ChannelMinMax (0)、Average (0)、RootMeasSquare (0)、NotLSB (0)、Trim (0)、\n"
     "TrimFirstLast (0)、FirstSamples (100)、LastSamples (100)、IgnoreFirst (0)、Include (100)、\n"
     "TimeInformation (0)、UsDateFormat (0)。\n"
     "转换完整完成时退出码为 0，因提示信息而中止时为 1，命令行错误时为 2。\n"},
    {25114,
     "Usage: krtool kind FILE\n"
     "Prints the file kind that the event header of FILE names (1 skr, 2 vkr, 3 xkr, 4 vmx, 5 bkr)\n"
     "and its extension.\n",
     "Aufruf: krtool kind DATEI\n"
     "Gibt die Dateiart aus, die der Dateikopf von DATEI angibt (1 skr, 2 vkr, 3 xkr, 4 vmx, 5 bkr),\n"
     "und ihre Endung.\n",
     "用法：krtool kind 文件\n"
     "输出文件头所表示的文件类型（1 skr、2 vkr、3 xkr、4 vmx、5 bkr）\n"
     "及其扩展名。\n"},
    {25115, "Cannot open \"%s\": %s", "\"%s\" kann nicht geöffnet werden: %s", "无法打开“%s”：%s"},
    {25116, "Unknown command \"%s\". Try \"krtool --help\".",
     "Unbekannter Befehl \"%s\". Siehe \"krtool --help\".", "未知命令“%s”。请参阅“krtool --help”。"},
    {25117, "Missing \"=\" in option \"%s\".", "Fehlendes \"=\" in der Option \"%s\".",
     "选项“%s”中缺少“=”。"},
    {25118, "Unknown option \"%s\".", "Unbekannte Option \"%s\".", "未知选项“%s”。"},
    {25119, "Option \"%s\" needs a whole number.", "Option \"%s\" braucht eine ganze Zahl.",
     "选项“%s”需要一个整数。"},
    {25120, "Wrong number of arguments. Try \"krtool %s --help\".",
     "Falsche Anzahl von Argumenten. Siehe \"krtool %s --help\".",
     "参数数目错误。请参阅“krtool %s --help”。"},
    {25121, "\"%s\" is not a file.", "\"%s\" ist keine Datei.", "“%s”不是文件。"},
});

}  // namespace

std::span<const kr::StringEntry> EventFilesStrings() {
  return kEntries;
}

}  // namespace tarvik
