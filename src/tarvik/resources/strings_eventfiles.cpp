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
     "  mseed FILE OUT.mseed [OPTIONS]  write the waveform as miniSEED\n"
     "  sac FILE OUTDIR [OPTIONS]       write one SAC file per channel\n"
     "  assess FILE [--line 1|2|3]      assess the peaks against DIN 4150-3 guideline values\n"
     "  encipher TEXT | decipher BLOCK  make or read a \"{{...}}\" block of a macro\n"
     "\n"
     "\"krtool COMMAND --help\" describes one command.\n",
     "Aufruf: krtool BEFEHL ARGUMENTE\n"
     "\n"
     "Befehle:\n"
     "  fields DATEI                       alle Felder des Dateikopfs einer Ereignisdatei ausgeben\n"
     "  info DATEI [UsDateFormat=0|1]      die Dateiinformation einer Ereignisdatei ausgeben\n"
     "  kind DATEI                         Nummer und Endung der Dateiart ausgeben\n"
     "  export DATEI AUS [KEY=WERT ...]    eine Ereignisdatei in tabulatorgetrennten Text umwandeln\n"
     "  mseed DATEI AUS.mseed [OPTIONEN]   die Zeitverläufe als miniSEED schreiben\n"
     "  sac DATEI AUSORDNER [OPTIONEN]     je Kanal eine SAC-Datei schreiben\n"
     "  assess DATEI [--line 1|2|3]        die Spitzen nach den Anhaltswerten der DIN 4150-3 beurteilen\n"
     "  encipher TEXT | decipher BLOCK     einen \"{{...}}\"-Block eines Makros erzeugen oder lesen\n"
     "\n"
     "\"krtool BEFEHL --help\" beschreibt einen Befehl.\n",
     "用法：krtool 命令 参数\n"
     "\n"
     "命令：\n"
     "  fields 文件                     输出事件文件头的全部字段\n"
     "  info 文件 [UsDateFormat=0|1]    输出事件文件的文件信息\n"
     "  kind 文件                       输出文件类型编号及其扩展名\n"
     "  export 文件 输出 [键=值 ...]    将事件文件转换为制表符分隔的文本\n"
     "  mseed 文件 输出.mseed [选项]    将波形写为 miniSEED\n"
     "  sac 文件 输出目录 [选项]        每个通道写一个 SAC 文件\n"
     "  assess 文件 [--line 1|2|3]      按 DIN 4150-3 指导值评估峰值\n"
     "  encipher 文本 | decipher 块     生成或读取宏的 \"{{...}}\" 块\n"
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
    {25130,
     "Usage: krtool mseed FILE [OUT.mseed] [--network NN] [--station NAME] [--location LL]\n"
     "                    [--channels X,Y,Z] [--physical] [--sds ROOT] [--utc-offset HOURS]\n"
     "Writes the waveform of FILE (skr, vkr, xkr) as miniSEED, one trace per channel: counts as\n"
     "Steim-2 integers, or with --physical the values in the channels' units as 64-bit floats.\n"
     "Defaults: network XX, station from the recorder's serial number, no location, channel codes\n"
     "from the sampling rate and the unit (for example EHZ for a geophone at 100 Hz). --sds ROOT\n"
     "appends to the day files of an SDS archive (ROOT/YEAR/NET/STA/CHA.D/NET.STA.LOC.CHA.D.YEAR.DAY);\n"
     "OUT.mseed may then be left out. The start time is the recorder's time, written as UTC; for a\n"
     "recorder whose clock runs ahead of UTC, --utc-offset HOURS (for example +1) subtracts the offset.\n",
     "Aufruf: krtool mseed DATEI [AUS.mseed] [--network NN] [--station NAME] [--location LL]\n"
     "                    [--channels X,Y,Z] [--physical] [--sds WURZEL] [--utc-offset STUNDEN]\n"
     "Schreibt die Zeitverläufe von DATEI (skr, vkr, xkr) als miniSEED, eine Spur je Kanal: Digits als\n"
     "Steim-2-Ganzzahlen, mit --physical die Werte in den Einheiten der Kanäle als 64-Bit-Gleitkommazahlen.\n"
     "Vorgaben: Netz XX, Station aus der Seriennummer des Geräts, keine Location, Kanalcodes aus\n"
     "Abtastrate und Einheit (zum Beispiel EHZ für ein Geophon mit 100 Hz). --sds WURZEL hängt an\n"
     "die Tagesdateien eines SDS-Archivs an (WURZEL/JAHR/NETZ/STA/KAN.D/NETZ.STA.LOC.KAN.D.JAHR.TAG);\n"
     "AUS.mseed kann dann entfallen. Die Startzeit ist die Zeit des Geräts, geschrieben als UTC; geht die\n"
     "Uhr des Geräts gegenüber UTC vor, zieht --utc-offset STUNDEN (zum Beispiel +1) die Differenz ab.\n",
     "用法：krtool mseed 文件 [输出.mseed] [--network NN] [--station 名称] [--location LL]\n"
     "                    [--channels X,Y,Z] [--physical] [--sds 根目录] [--utc-offset 小时]\n"
     "将文件（skr、vkr、xkr）的波形写为 miniSEED，每个通道一条迹线：默认为 Steim-2 整数计数，\n"
     "使用 --physical 时为通道单位下的 64 位浮点物理值。\n"
     "默认：台网 XX，台站取自记录仪序列号，无位置码，通道码由采样率和单位决定\n"
     "（例如 100 Hz 检波器为 EHZ）。--sds 根目录 追加写入 SDS 存档的日文件\n"
     "（根目录/年/台网/台站/通道.D/台网.台站.位置.通道.D.年.日）；此时可省略输出文件。\n"
     "起始时间为记录仪时钟的时间，按 UTC 写出；若记录仪时钟比 UTC 快，\n"
     "--utc-offset 小时（例如 +1）减去该差值。\n"},
    {25131,
     "Usage: krtool sac FILE OUTDIR [--network NN] [--station NAME] [--location LL] [--channels X,Y,Z]\n"
     "                  [--utc-offset HOURS]\n"
     "Writes one binary SAC file (version 6, little-endian) per channel of FILE into OUTDIR, with the\n"
     "values in the channels' units, named NET.STA.LOC.CHA.YEAR.DAY.HHMMSS.SAC. Options as for mseed.\n",
     "Aufruf: krtool sac DATEI AUSORDNER [--network NN] [--station NAME] [--location LL] [--channels X,Y,Z]\n"
     "Schreibt je Kanal von DATEI eine binäre SAC-Datei (Version 6, Little-Endian) in AUSORDNER, mit den\n"
     "Werten in den Einheiten der Kanäle, benannt NETZ.STA.LOC.KAN.JAHR.TAG.HHMMSS.SAC. Namen wie bei "
     "mseed.\n",
     "用法：krtool sac 文件 输出目录 [--network NN] [--station 名称] [--location LL] [--channels X,Y,Z]\n"
     "                  [--utc-offset 小时]\n"
     "将文件的每个通道写为一个二进制 SAC 文件（版本 6，小端序）到输出目录，数值为通道单位下的物理值，\n"
     "文件名为 台网.台站.位置.通道.年.日.时分秒.SAC。选项同 mseed。\n"},
    {25132,
     "Usage: krtool assess FILE [--line 1|2|3] [--json] [--force]\n"
     "Assesses the event against the guideline values of DIN 4150-3, table 1 (short-term vibration at\n"
     "the foundation): per channel the peak particle velocity, its time, the frequency of the half-wave\n"
     "that carries it, the guideline value at that frequency, the ratio and the verdict.\n"
     "Lines: 1 commercial and industrial buildings, 2 dwellings, 3 sensitive buildings (default 3, the\n"
     "strictest). --json writes the result as JSON. Channels whose unit is not a velocity are assessed\n"
     "only with --force, as if their values were mm/s.\n"
     "Exit status 0 below the guideline values, 3 when a channel exceeds its value.\n",
     "Aufruf: krtool assess DATEI [--line 1|2|3] [--json] [--force]\n"
     "Beurteilt das Ereignis nach den Anhaltswerten der DIN 4150-3, Tabelle 1 (kurzzeitige Erschütterungen\n"
     "am Fundament): je Kanal die maximale Schwinggeschwindigkeit, ihre Zeit, die Frequenz der Halbwelle,\n"
     "die sie trägt, den Anhaltswert bei dieser Frequenz, das Verhältnis und das Ergebnis.\n"
     "Zeilen: 1 gewerblich genutzte Bauten, 2 Wohngebäude, 3 empfindliche Bauten (Vorgabe 3, die\n"
     "strengste). --json schreibt das Ergebnis als JSON. Kanäle, deren Einheit keine Geschwindigkeit ist,\n"
     "werden nur mit --force beurteilt, als wären ihre Werte mm/s.\n"
     "Rückgabewert 0 unter den Anhaltswerten, 3, wenn ein Kanal seinen Wert überschreitet.\n",
     "用法：krtool assess 文件 [--line 1|2|3] [--json] [--force]\n"
     "按 DIN 4150-3 表 1（基础处短时振动）的指导值评估事件：每个通道的峰值质点速度、出现时间、\n"
     "承载该峰值的半波频率、该频率下的指导值、比值和结论。\n"
     "行：1 商业和工业建筑，2 住宅，3 敏感建筑（默认 3，最严格）。--json 以 JSON 输出结果。\n"
     "单位不是速度的通道仅在使用 --force 时评估，并按 mm/s 处理其数值。\n"
     "退出码：低于指导值为 0，有通道超过指导值为 3。\n"},
    {25133,
     "\"%s\" is an interval file (%s): it holds periodic records, not a waveform, and cannot be exported.",
     "\"%s\" ist eine Intervalldatei (%s): Sie enthält periodische Datensätze, keinen Zeitverlauf, und kann "
     "nicht "
     "exportiert werden.",
     "“%s”是间隔文件（%s）：其中为周期记录而非波形，无法导出。"},
    {25134, "\"%s\" has no sampling rate.", "\"%s\" hat keine Abtastrate.", "“%s”没有采样率。"},
    {25135, "\"%s\" has no valid event time.", "\"%s\" hat keine gültige Ereigniszeit.",
     "“%s”没有有效的事件时间。"},
    {25136, "\"%s\" holds no samples.", "\"%s\" enthält keine Abtastwerte.", "“%s”不含采样值。"},
    {25137, "Invalid network code \"%s\": 1 or 2 letters or digits.",
     "Ungültiger Netzcode \"%s\": 1 oder 2 Buchstaben oder Ziffern.",
     "台网代码“%s”无效：应为 1 或 2 个字母或数字。"},
    {25138, "Invalid station code \"%s\": 1 to 5 letters or digits.",
     "Ungültiger Stationscode \"%s\": 1 bis 5 Buchstaben oder Ziffern.",
     "台站代码“%s”无效：应为 1 至 5 个字母或数字。"},
    {25139, "Invalid location code \"%s\": at most 2 letters or digits.",
     "Ungültiger Location-Code \"%s\": höchstens 2 Buchstaben oder Ziffern.",
     "位置代码“%s”无效：最多 2 个字母或数字。"},
    {25140, "Invalid channel codes \"%s\": three codes of 3 letters or digits, separated by commas.",
     "Ungültige Kanalcodes \"%s\": drei Codes aus je 3 Buchstaben oder Ziffern, durch Kommas getrennt.",
     "通道代码“%s”无效：应为三个由逗号分隔的 3 位字母或数字代码。"},
    {25141, "Cannot write \"%s\": %s", "\"%s\" kann nicht geschrieben werden: %s", "无法写入“%s”：%s"},
    {25142, "The samples of channel %s cannot be packed into miniSEED records.",
     "Die Abtastwerte von Kanal %s lassen sich nicht in miniSEED-Datensätze packen.",
     "通道 %s 的采样值无法打包为 miniSEED 记录。"},
    {25143, "%s  %s  %d Hz  %lu samples\n", "%s  %s  %d Hz  %lu Abtastwerte\n",
     "%s  %s  %d Hz  %lu 个采样\n"},
    {25144, "Written: %s\n", "Geschrieben: %s\n", "已写入：%s\n"},
    {25145, "Option \"%s\" needs a value.", "Option \"%s\" braucht einen Wert.", "选项“%s”需要一个值。"},
    {25146,
     "The unit \"%s\" of channel %s is not a velocity; \"--force\" assesses it anyway, as if the values were "
     "mm/s.",
     "Die Einheit \"%s\" von Kanal %s ist keine Geschwindigkeit; \"--force\" beurteilt ihn trotzdem, als "
     "wären die "
     "Werte mm/s.",
     "单位“%s”（通道 %s）不是速度；使用“--force”仍可评估，并按 mm/s 处理数值。"},
    {25147,
     "Note: the unit \"%s\" of channel %s is not a velocity; its values were assessed as mm/s (--force).\n",
     "Hinweis: Die Einheit \"%s\" von Kanal %s ist keine Geschwindigkeit; ihre Werte wurden als mm/s "
     "beurteilt "
     "(--force).\n",
     "注意：单位“%s”（通道 %s）不是速度；其数值已按 mm/s 评估（--force）。\n"},
    {25148, "Short-term vibration at the foundation, DIN 4150-3 table 1, line %d: %s\n",
     "Kurzzeitige Erschütterungen am Fundament, DIN 4150-3 Tabelle 1, Zeile %d: %s\n",
     "基础处短时振动，DIN 4150-3 表 1，第 %d 行：%s\n"},
    {25149, "commercial and industrial buildings", "gewerblich genutzte Bauten und Industriebauten",
     "商业和工业建筑"},
    {25150, "dwellings and buildings of similar use", "Wohngebäude und in ihrer Nutzung gleichartige Bauten",
     "住宅及类似用途建筑"},
    {25151, "sensitive buildings", "besonders erschütterungsempfindliche Bauten", "特别敏感的建筑"},
    {25152, "Channel\tPeak [mm/s]\tTime [s]\tFrequency [Hz]\tGuideline [mm/s]\tRatio\tVerdict\n",
     "Kanal\tSpitze [mm/s]\tZeit [s]\tFrequenz [Hz]\tAnhaltswert [mm/s]\tVerhältnis\tErgebnis\n",
     "通道\t峰值 [mm/s]\t时间 [s]\t频率 [Hz]\t指导值 [mm/s]\t比值\t结论\n"},
    {25153, "below the guideline value", "unter dem Anhaltswert", "低于指导值"},
    {25154, "EXCEEDS the guideline value", "ÜBERSCHREITET den Anhaltswert", "超过指导值"},
    {25155,
     "Note: channel %s has no closed half-wave around its peak; the frequency is unknown and the lowest "
     "guideline value of the line is used.\n",
     "Hinweis: Kanal %s hat um seine Spitze keine geschlossene Halbwelle; die Frequenz ist unbekannt, der "
     "niedrigste Anhaltswert der Zeile gilt.\n",
     "注意：通道 %s 的峰值附近没有完整的半波；频率未知，采用该行最低的指导值。\n"},
    {25156, "Result: %s (highest ratio %.2f, channel %s)\n",
     "Ergebnis: %s (höchstes Verhältnis %.2f, Kanal %s)\n", "结论：%s（最高比值 %.2f，通道 %s）\n"},
    {25157, "Invalid line \"%s\": 1, 2 or 3.", "Ungültige Zeile \"%s\": 1, 2 oder 3.",
     "行“%s”无效：应为 1、2 或 3。"},
    {25158, "Start time: %s (the recorder's clock)\n", "Startzeit: %s (Uhr des Geräts)\n",
     "起始时间：%s（记录仪时钟）\n"},
    {25159, "Invalid UTC offset \"%s\": hours between -14 and 14, for example +1 or -5.5.",
     "Ungültiger UTC-Versatz \"%s\": Stunden zwischen -14 und 14, zum Beispiel +1 oder -5.5.",
     "UTC 偏移“%s”无效：应为 -14 至 14 之间的小时数，例如 +1 或 -5.5。"},
    {25160, "\"%s\" is the event file itself; choose another output file.",
     "\"%s\" ist die Ereignisdatei selbst; bitte eine andere Ausgabedatei wählen.",
     "“%s”就是事件文件本身；请选择其他输出文件。"},
});

}  // namespace

std::span<const kr::StringEntry> EventFilesStrings() {
  return kEntries;
}

}  // namespace tarvik
