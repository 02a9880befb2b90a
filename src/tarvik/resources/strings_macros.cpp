#include <array>

#include "tarvik/resources/tarvik_strings.h"

namespace tarvik {

namespace {

// Macros and start-up scripts. Ids 9550..9599 are new texts of this area.
constexpr std::array kEntries = std::to_array<kr::StringEntry>({
    {346, "Execute macro command.", "Makrobefehl ausführen.", "执行宏命令。"},
    {380, "Execute startup script.", "Startskript ausführen.", "执行启动脚本。"},
    {422, "Open Macro File", "Makrodatei öffnen", "打开宏文件"},
    {424, "KR Script Files (*.krs)|*.krs|All Files (*.*)|*.*||",
     "KR-Skriptdateien (*.krs)|*.krs|Alle Dateien (*.*)|*.*||",
     "KR 脚本文件 (*.krs)|*.krs|所有文件 (*.*)|*.*||"},
    {453, "Run macro \"%1\"", "Makro \"%1\" ausführen", "运行宏 \"%1\""},
    // The Run Macro dialog and the question of a macro or script.
    {9850, "Run Macro", "Makro ausführen", "运行宏"},
    {9851, "Commands, separated by \";\", or \"Script: FILE\":",
     "Befehle, getrennt durch \";\", oder \"Script: DATEI\":", "命令（以“;”分隔）或“Script: 文件”："},
    {9852, "&Browse...", "&Durchsuchen...", "浏览(&B)..."},
    {9853, "Macro Question", "Makro-Frage", "宏提问"},
    {432, "To many commands in the Macro.", "Zu viele Befehle im Makro.", "宏中的命令过多。"},
    {433, "Cant open file %s.", "Die Datei %s kann nicht geöffnet werden.", "无法打开文件 %s。"},
    {677, "Error: No file transferred before!", "Fehler: Zuvor wurde keine Datei übertragen!",
     "错误：之前没有传输任何文件！"},
    {678, "Error: Transform file failed!", "Fehler: Umwandeln der Datei fehlgeschlagen!",
     "错误：文件转换失败！"},
    {679, "Error: Can't open file!", "Fehler: Datei kann nicht geöffnet werden!", "错误：无法打开文件！"},
    {9550, "Error: No reply from the HCU or KR!", "Fehler: Keine Antwort von der HCU oder dem KR!",
     "错误：HCU 或 KR 没有应答！"},
    {9551, "Error: The output file can not be written!",
     "Fehler: Die Ausgabedatei kann nicht geschrieben werden!", "错误：无法写入输出文件！"},
    {9552, "Macro %d of Macro.def is empty.", "Makro %d in Macro.def ist leer.",
     "Macro.def 中的宏 %d 为空。"},
    {9553, "Error: The HCU or KR is offline!", "Fehler: Die HCU oder der KR ist offline!",
     "错误：HCU 或 KR 处于离线状态！"},
    {9554,
     "krtool encipher TEXT\n  prints TEXT enciphered for a \"{{...}}\" block of a macro or script.\n"
     "krtool decipher BLOCK\n  prints the clear text of such a block.\n",
     "krtool encipher TEXT\n  gibt TEXT verschlüsselt für einen \"{{...}}\"-Block eines Makros oder Skripts "
     "aus.\nkrtool decipher BLOCK\n  gibt den Klartext eines solchen Blocks aus.\n",
     "krtool encipher TEXT\n  输出加密后的 TEXT，用于宏或脚本中的 \"{{...}}\" 块。\n"
     "krtool decipher BLOCK\n  输出此类块的明文。\n"},
    {9556, "Error: Event %03d was not transferred!", "Fehler: Ereignis %03d wurde nicht übertragen!",
     "错误：事件 %03d 未传输！"},
    {9555, "\"%s\" is not an enciphered block.", "\"%s\" ist kein verschlüsselter Block.",
     "\"%s\" 不是加密块。"},
});

}  // namespace

std::span<const kr::StringEntry> MacroStrings() {
  return kEntries;
}

}  // namespace tarvik
