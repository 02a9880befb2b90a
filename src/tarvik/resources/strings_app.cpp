#include <array>

#include "tarvik/resources/tarvik_strings.h"

namespace tarvik {

namespace {

// Start-up, settings, connection documents and the command line. Ids 9400..9449 are new texts of
// this area.
constexpr std::array kEntries = std::to_array<kr::StringEntry>({
    {101,
     "The number of the characters for root filename must be within %d and %d.\nCheck the settings for "
     "\"%s\" in "
     "the configuration-file %s.",
     "Die Anzahl der Zeichen für den Stammdateinamen muss zwischen %d und %d liegen.\nPrüfen Sie die "
     "Einstellung "
     "für \"%s\" in der Konfigurationsdatei %s.",
     "根文件名的字符数必须在 %d 和 %d 之间。\n请检查 \"%s\" 的设置（配置文件 %s）。"},
    {202,
     "The number of the COM-port must be within %d and %d (e.g. 2 for COM2).\nCheck the settings for \"%s\" "
     "in the "
     "configuration-file %s.",
     "Die Nummer des COM-Ports muss zwischen %d und %d liegen (z. B. 2 für COM2).\nPrüfen Sie die "
     "Einstellung für "
     "\"%s\" in der Konfigurationsdatei %s.",
     "COM 端口号必须在 %d 和 %d 之间（例如 COM2 为 2）。\n请检查 \"%s\" 的设置（配置文件 %s）。"},
    {203,
     "The value for the time-out must be within %d (double of polling time) and %d.\nCheck the settings for "
     "\"%s\" "
     "in the configuration-file %s.",
     "Der Wert für das Zeitlimit muss zwischen %d (doppelte Abfragezeit) und %d liegen.\nPrüfen Sie die "
     "Einstellung für \"%s\" in der Konfigurationsdatei %s.",
     "超时值必须在 %d（轮询时间的两倍）和 %d 之间。\n请检查 \"%s\" 的设置（配置文件 %s）。"},
    {209,
     "The value for the polling time must be within %d and %d miliseconds.\n Check the settings for \"%s\" "
     "in the "
     "configuration-file %s.",
     "Der Wert für die Abfragezeit muss zwischen %d und %d Millisekunden liegen.\nPrüfen Sie die Einstellung "
     "für "
     "\"%s\" in der Konfigurationsdatei %s.",
     "轮询时间必须在 %d 和 %d 毫秒之间。\n请检查 \"%s\" 的设置（配置文件 %s）。"},
    {233,
     "The baud rate must be within %d and %d.\nCheck the settings for \"\"%s\"\" in the configuration-file "
     "%s.",
     "Die Baudrate muss zwischen %d und %d liegen.\nPrüfen Sie die Einstellung für \"%s\" in der "
     "Konfigurationsdatei %s.",
     "波特率必须在 %d 和 %d 之间。\n请检查 \"%s\" 的设置（配置文件 %s）。"},
    {377, "Start Tarvik ...", "Tarvik wird gestartet ...", "正在启动 Tarvik ..."},
    {387, "No valid phone nummber.", "Keine gültige Telefonnummer.", "电话号码无效。"},
    {388, "No valid phone nummber length.", "Keine gültige Länge der Telefonnummer.", "电话号码长度无效。"},
    {445, "Open existing Connection File for editing", "Vorhandene Verbindungsdatei zum Bearbeiten öffnen",
     "打开现有连接文件进行编辑"},
    {494, "Brevik Riridoradur", "Brevik Riridoradur", "Brevik Riridoradur"},
    {497, "Invalid value (must be within %d and %d)", "Ungültiger Wert (muss zwischen %d und %d liegen)",
     "无效值（必须在 %d 和 %d 之间）"},
    {507, "The file \"%s\" already exists!\nDo you wish to overwrite it?",
     "Die Datei \"%s\" ist bereits vorhanden!\nMöchten Sie sie überschreiben?",
     "文件 \"%s\" 已存在！\n是否覆盖？"},
    {513, "The file \"%s\" is not a proper KR Connection File.",
     "Die Datei \"%s\" ist keine gültige KR-Verbindungsdatei.", "文件 \"%s\" 不是有效的 KR 连接文件。"},
    {514, "KR Connection Files (*.krc)|*.krc|All Files (*.*)|*.*||",
     "KR-Verbindungsdateien (*.krc)|*.krc|Alle Dateien (*.*)|*.*||",
     "KR 连接文件 (*.krc)|*.krc|所有文件 (*.*)|*.*||"},
    {515, "krc", "krc", "krc"},
    {516, "Value can be bigger as the half of the KR/HCU Timeout  (within %d and %d)",
     "Der Wert darf nicht größer als die Hälfte des KR/HCU-Zeitlimits sein (zwischen %d und %d)",
     "该值不能大于 KR/HCU 超时的一半（在 %d 和 %d 之间）"},
    {517, "English", "Englisch", "英语"},
    {518, "German", "Deutsch", "德语"},
    {519, "Chinese", "Chinesisch", "中文"},
    {710,
     "Startup Options\n==========\n\nSyntax:\nTarvik [\"c:\\program files\\brevik\\linkfile.krc\"] [/i "
     "\"c:\\temp\\scripts\\procedure1.txt\"] [/o \"c:\\temp\\output\\output1.txt\"] [/m] [/d] "
     "[/l]\n\nParameters:\nParam1\tConnection file\n/i\tInput Script File\n/o\tOutput Text File\n/m\tStartup "
     "Minimized\n/d\tOpen Direct Link\n/l\tDo not re-login\n/q\tquit program at end of script\n/?\tShows "
     "This Help",
     "Startoptionen\n==========\n\nSyntax:\nTarvik [\"c:\\programme\\brevik\\linkfile.krc\"] [/i "
     "\"c:\\temp\\scripts\\procedure1.txt\"] [/o \"c:\\temp\\output\\output1.txt\"] [/m] [/d] "
     "[/l]\n\nParameter:\nParam1\tVerbindungsdatei\n/i\tEingabe-Skriptdatei\n/o\tAusgabe-Textdatei\n/"
     "m\tMinimiert "
     "starten\n/d\tDirektverbindung öffnen\n/l\tNicht erneut anmelden\n/q\tProgramm am Ende des Skripts "
     "beenden\n/?\tZeigt diese Hilfe",
     "启动选项\n==========\n\n语法：\nTarvik [\"c:\\program files\\brevik\\linkfile.krc\"] [/i "
     "\"c:\\temp\\scripts\\procedure1.txt\"] [/o \"c:\\temp\\output\\output1.txt\"] [/m] [/d] "
     "[/l]\n\n参数：\nParam1\t连接文件\n/i\t输入脚本文件\n/o\t输出文本文件\n/m\t最小化启动\n/"
     "d\t打开直接连接\n/"
     "l\t不重新登录\n/q\t脚本结束时退出程序\n/?\t显示此帮助"},
    {8570, "Tarvik can not access the directory \"%s\".\nCheck permission.",
     "Tarvik kann nicht auf das Verzeichnis \"%s\" zugreifen.\nPrüfen Sie die Zugriffsrechte.",
     "Tarvik 无法访问目录 \"%s\"。\n请检查权限。"},
    {8571, "Tarvik can not access the directory \"%s\".\nTarvik uses the default directory \"%s\".",
     "Tarvik kann nicht auf das Verzeichnis \"%s\" zugreifen.\nTarvik verwendet das Standardverzeichnis "
     "\"%s\".",
     "Tarvik 无法访问目录 \"%s\"。\nTarvik 将使用默认目录 \"%s\"。"},
    {9400, "Tarvik can not read the file \"%s\".\nCheck that it exists and that you may read it.",
     "Tarvik kann die Datei \"%s\" nicht lesen.\nPrüfen Sie, ob sie vorhanden ist und gelesen werden darf.",
     "Tarvik 无法读取文件 \"%s\"。\n请检查该文件是否存在以及是否有读取权限。"},
    {9401, "Tarvik can not write the file \"%s\".\nCheck permission and free space.",
     "Tarvik kann die Datei \"%s\" nicht schreiben.\nPrüfen Sie die Zugriffsrechte und den freien "
     "Speicherplatz.",
     "Tarvik 无法写入文件 \"%s\"。\n请检查权限和可用空间。"},
    {9402, "Tarvik can not find a folder for its data.\nSet TARVIK_DATA_ROOT or HOME.",
     "Tarvik findet keinen Ordner für seine Daten.\nSetzen Sie TARVIK_DATA_ROOT oder HOME.",
     "Tarvik 找不到数据文件夹。\n请设置 TARVIK_DATA_ROOT 或 HOME。"},
});

}  // namespace

std::span<const kr::StringEntry> AppStrings() {
  return kEntries;
}

}  // namespace tarvik
