#include "command_texts.h"

#include <cstdarg>
#include <cstdio>
#include <string>

#include "platform/posix/terminal_text.h"

namespace {

struct TextDefinition {
  Text id;
  const char* english;
  const char* chinese;
};

constexpr TextDefinition kTexts[] = {
    {Text::kUsage,
     "usage: pictrove list [--cursors] [--json] FILE\n"
     "       pictrove info [--cursors] [--entry NAME | --index N | --all] [--language ID]\n"
     "                     [--json] FILE\n"
     "       pictrove save [--cursors] [--entry NAME | --index N] [--image N | --size N]\n"
     "                     [--format KIND] [--language ID] FILE TARGET\n"
     "       pictrove extract [--cursors | --png [--all-images]] [--language ID] [-q]\n"
     "                        -o DIR FILE...\n"
     "       pictrove thumbnail [-s SIZE] [--entry NAME | --index N] [--language ID]\n"
     "                          FILE OUT.png\n"
     "       pictrove set-icon [--entry NAME | --index N | --add NAME]\n"
     "                         [--strip-signature] PROGRAM ICON [-o OUT]\n"
     "       pictrove --help | --version\n",
     "用法: pictrove list [--cursors] [--json] 文件\n"
     "      pictrove info [--cursors] [--entry 名称 | --index 索引 | --all] [--language 语言]\n"
     "                    [--json] 文件\n"
     "      pictrove save [--cursors] [--entry 名称 | --index 索引] [--image 序号 | --size 边长]\n"
     "                    [--format 类型] [--language 语言] 文件 目标\n"
     "      pictrove extract [--cursors | --png [--all-images]] [--language 语言] [-q]\n"
     "                       -o 目录 文件...\n"
     "      pictrove thumbnail [-s 尺寸] [--entry 名称 | --index 索引] [--language 语言]\n"
     "                         文件 输出.png\n"
     "      pictrove set-icon [--entry 名称 | --index 索引 | --add 名称]\n"
     "                        [--strip-signature] 程序 图标 [-o 输出]\n"
     "      pictrove --help | --version\n"},
    {Text::kHelp,
     "\n"
     "FILE is opened as the window's Open command opens it, its kind chosen by\n"
     "its content: a module (\"MZ\"), an icon or cursor file, an animated cursor\n"
     "(its frames are its images, each a cursor), or a bitmap (\"BM\"); by its\n"
     "extension only when it is too short to tell.\n"
     "\n"
     "  list     prints the entries of the icon list, one a line: \"Icon [NAME]\"\n"
     "           for each group icon of a module, the path of an icon or bitmap\n"
     "           file. --cursors: the module's group cursors, \"Cursor [NAME]\".\n"
     "  info     prints a line per image of the entry (default: the program's\n"
     "           icon, the first group of the module's directory), as\n"
     "           save writes it: INDEX WIDTHxHEIGHT BPP-bit BYTES bytes [png].\n"
     "           --all: every entry, each followed by its images.\n"
     "  save     writes the entry to TARGET: .ico the whole icon, .bmp the\n"
     "           colour picture of one image (--image N, counted from 0; default 0),\n"
     "           .png one image with its transparency (default: the largest).\n"
     "  extract  writes every group icon of every FILE into DIR (made when\n"
     "           missing) as a .ico named after the file and the entry\n"
     "           (shell32.dll_Icon_1.ico); with --cursors every group cursor as a\n"
     "           .cur (user32.dll_Cursor_32512.cur); with --png the largest image\n"
     "           of every group icon (or cursor file) as a .png, of an .ani each\n"
     "           frame. Characters a file name can't\n"
     "           hold become \"_\"; a name that is taken (by this run, or by a file\n"
     "           or link already there, never written through) gets\n"
     "           \"_2\", \"_3\", ... A group in several languages is written once\n"
     "           for each: the first in the directory's order under that name,\n"
     "           each other with \"_ID\" before the extension (ID in decimal).\n"
     "           It prints each file it writes; -q leaves those\n"
     "           lines out, and the notes on files without icons.\n"
     "  thumbnail writes the entry (default: the program's icon) as a PNG of\n"
     "           at most SIZE x SIZE pixels (-s, from 1 to 1024; default 128)\n"
     "           for file managers: its image nearest at or above SIZE (else\n"
     "           its largest), scaled down to fit with its transparency, never\n"
     "           enlarged. A file without icons is a failure: nothing is written.\n"
     "           OUT.png - is standard output.\n"
     "  set-icon puts ICON (an .ico) into the Windows program PROGRAM as its\n"
     "           icon (the group the default, --entry or --index names), or as a\n"
     "           new group (--add NAME); other resources, sections and appended\n"
     "           data keep their bytes. It rewrites PROGRAM safely in place, or\n"
     "           writes OUT (-o). A signed program is refused unless\n"
     "           --strip-signature; 16-bit, packed and .NET bundled ones are.\n"
     "\n"
     "  --entry NAME  the entry \"Icon [NAME]\", or the entry whose text is NAME\n"
     "  --index N     the icon of Windows' index N (file.dll,N): from 0 its place\n"
     "                in the module's directory, below 0 the group of id -N\n"
     "  --language ID the group in language ID (1033, or 0x409): extract writes\n"
     "                that one alone and passes over groups without it; info,\n"
     "                save and thumbnail fail for an entry without it\n"
     "  --json        one JSON document on stdout instead of lines\n"
     "\n"
     "Messages go to stderr, each naming its file, in Chinese in a Chinese locale.\n"
     "Exit status: 0 when every file was read and everything asked for written\n"
     "(a readable file without icons is no failure for list, info and extract:\n"
     "a note names it), 1 otherwise, 2 for a usage error.\n",
     "\n"
     "文件按窗口的打开命令打开，类型由内容决定: 模块 (\"MZ\")、图标或光标文件、动画\n"
     "光标 (其各帧为其图像，每帧是一个光标)、位图 (\"BM\"); 只有文件太短无法判断时\n"
     "才由扩展名决定。\n"
     "\n"
     "  list     每行列出图标列表的一项: 模块的每个组图标为 \"Icon [名称]\"，\n"
     "           图标文件或位图文件为其路径。--cursors: 模块的组光标，\n"
     "           \"Cursor [名称]\"。\n"
     "  info     按保存时的样子，每个图像一行 (默认为程序的图标，即模块目录中的第一个组):\n"
     "           序号 宽x高 位数-bit 字节数 bytes [png]。--all: 每一项及其图像。\n"
     "  save     把该项写入目标: .ico 为整个图标，.bmp 为一个图像的彩色图\n"
     "           (--image 序号，从 0 起，默认 0)，.png 为一个带透明度的图像\n"
     "           (默认最大的一个)。\n"
     "  extract  把每个文件的每个组图标写入目录 (不存在时建立)，各为一个 .ico，\n"
     "           以文件名和项命名 (shell32.dll_Icon_1.ico); 加 --cursors 时每个\n"
     "           组光标写为 .cur (user32.dll_Cursor_32512.cur); 加 --png 时每个\n"
     "           组图标 (或光标文件) 的最大图像写为 .png，动画光标的每帧各写一个。\n"
     "           文件名不能含的\n"
     "           字符换成 \"_\"; 已被占用的名称 (本次运行写过的，或已有的文件或链接，\n"
     "           从不经链接写入) 加 \"_2\"、\"_3\" 等。\n"
     "           有多种语言的组按每种语言各写一个文件: 目录中的第一种用上述名称，\n"
     "           其余的在扩展名前加 \"_语言\" (十进制)。\n"
     "           每写一个文件输出一行; -q 不输出这些行，也不提示没有图标的文件。\n"
     "  thumbnail 把该项 (默认为程序的图标) 写为供文件管理器使用的 PNG 缩略图，\n"
     "           最大为 尺寸x尺寸 像素 (-s，1 到 1024，默认 128): 取不小于该尺寸的\n"
     "           最接近的图像 (没有时取最大的)，保留透明度缩小到该尺寸之内，从不放大。\n"
     "           没有图标的文件算失败，不写任何文件。输出文件 - 为标准输出。\n"
     "  set-icon 把图标 (.ico) 放入 Windows 程序作为其图标 (默认、--entry 或\n"
     "           --index 指定的组)，或作为新组 (--add 名称); 其他资源、节和附加\n"
     "           数据保持原样。默认安全地原地改写程序，或写入输出 (-o)。已签名的\n"
     "           程序被拒绝，除非给出 --strip-signature; 16 位、加壳和 .NET\n"
     "           捆绑的程序总被拒绝。\n"
     "\n"
     "  --entry 名称  项 \"Icon [名称]\"，或文字为该名称的项\n"
     "  --index 索引  Windows 图标索引 (file.dll,索引): 从 0 起为模块目录中的位置，\n"
     "                小于 0 时为标识符为其相反数的组\n"
     "  --language 语言 该语言 (1033 或 0x409) 的组: extract 只写这一种，跳过没有它的组;\n"
     "                info、save 和 thumbnail 对没有它的项报错\n"
     "  --json        在标准输出上输出一个 JSON 文档，而不是逐行输出\n"
     "\n"
     "消息输出到标准错误，每条都指明其文件; 中文区域设置下为中文。\n"
     "退出状态: 每个文件都已读取且要求的都已写入时为 0 (对 list、info 和 extract\n"
     "而言，可读但没有图标的文件不算失败，只提示一行)，否则为 1，用法错误为 2。\n"},
    {Text::kUnknownCommand, "unknown command \"%s\"", "未知的命令 \"%s\""},
    {Text::kUnknownOption, "unknown option \"%s\"", "未知的选项 \"%s\""},
    {Text::kOptionNeedsValue, "option %s needs a value", "选项 %s 需要一个值"},
    {Text::kOptionTwice, "option %s is given twice", "选项 %s 给了两次"},
    {Text::kOptionNotForCommand, "%s takes no option %s", "%s 不接受选项 %s"},
    {Text::kListArguments, "list takes one FILE", "list 需要一个文件"},
    {Text::kInfoArguments, "info takes one FILE", "info 需要一个文件"},
    {Text::kSaveArguments, "save takes FILE and TARGET", "save 需要文件和目标"},
    {Text::kExtractArguments, "extract takes FILE... and -o DIR", "extract 需要文件和 -o 目录"},
    {Text::kThumbnailArguments, "thumbnail takes FILE and OUT.png", "thumbnail 需要文件和输出文件"},
    {Text::kAllWithEntry, "--all and --entry do not go together", "--all 与 --entry 不能同时使用"},
    {Text::kPngWithCursors, "--png and --cursors do not go together", "--png 与 --cursors 不能同时使用"},
    {Text::kAllImagesWithoutPng, "--all-images goes with --png", "--all-images 需与 --png 同时使用"},
    {Text::kAllWithCursors, "--all and --cursors do not go together", "--all 与 --cursors 不能同时使用"},
    {Text::kTargetKind, "TARGET must end in .ico, .bmp or .png", "目标必须以 .ico、.bmp 或 .png 结尾"},
    {Text::kImageTargetKind, "--image takes a TARGET of one image: .bmp or .png",
     "--image 需要单个图像的目标: .bmp 或 .png"},
    {Text::kFormatName, "--format takes ico, bmp, png or cur, not \"%s\"",
     "--format 需要 ico、bmp、png 或 cur，而不是 \"%s\""},
    {Text::kFormatWithFile, "--format goes with the TARGET - (standard output), a named pipe or a device",
     "--format 只用于目标 - (标准输出)、命名管道或设备"},
    {Text::kSizeTargetKind, "--size takes a TARGET of one image (.bmp or .png) and no --image",
     "--size 需要单个图像的目标 (.bmp 或 .png)，且不能与 --image 同时使用"},
    {Text::kImageNumber, "--image takes a number from 0, not \"%s\"", "--image 需要从 0 起的序号，而不是 \"%s\""},
    {Text::kIndexNumber, "--index takes a number from -65535 to 65535, not \"%s\"",
     "--index 需要 -65535 到 65535 之间的数，而不是 \"%s\""},
    {Text::kLanguageNumber, "--language takes a language id from 0 to 65535 (or 0x0 to 0xFFFF), not \"%s\"",
     "--language 需要 0 到 65535 (或 0x0 到 0xFFFF) 之间的语言标识，而不是 \"%s\""},
    {Text::kLanguageWithCursors, "--language and --cursors do not go together", "--language 与 --cursors 不能同时使用"},
    {Text::kSizeNumber, "--size takes a number from 1 to %s, not \"%s\"",
     "--size 需要 1 到 %s 之间的数，而不是 \"%s\""},
    {Text::kIndexWithEntry, "--index goes with neither --entry nor --all", "--index 不能与 --entry 或 --all 同时使用"},
    {Text::kCannotRead, "%s: cannot read the file (%s)", "%s: 无法读取文件 (%s)"},
    {Text::kChangedOrCut, "it changed since it was opened, or ends before its resources",
     "文件在打开后被改动，或在其资源之前结束"},
    {Text::kNotRegular, "%s: not a regular file", "%s: 不是普通文件"},
    {Text::kNotAKind, "%s: not a kind of file pictrove reads", "%s: 不是 pictrove 能读取的文件类型"},
    {Text::kNotAKindNamed, "%s: not a kind of file pictrove reads (%s)", "%s: 不是 pictrove 能读取的文件类型 (%s)"},
    {Text::kKindPng, "a PNG image", "PNG 图像"},
    {Text::kKindMacIcon, "a macOS icon", "macOS 图标"},
    {Text::kKindZip, "a ZIP archive", "ZIP 压缩文件"},
    {Text::kIconsMovedOut, "%s: holds no icons of its own; they are in %s", "%s: 本身没有图标，图标在 %s 中"},
    {Text::kCannotCreateFolder, "%s: cannot create the folder (%s)", "%s: 无法建立目录 (%s)"},
    {Text::kNoEntry, "%s: no entry \"%s\"", "%s: 没有项 \"%s\""},
    {Text::kNoIndex, "%s: no icon of index %d", "%s: 没有索引为 %d 的图标"},
    {Text::kNoImageOfSide, "%s: \"%s\" has no image of %d pixels", "%s: \"%s\" 没有 %d 像素的图像"},
    {Text::kNoImage, "%s: \"%s\" has no image %u", "%s: \"%s\" 没有图像 %u"},
    {Text::kNoLanguage, "%s: \"%s\" has no language %u", "%s: \"%s\" 没有语言 %u"},
    {Text::kMissingImage, "%s: \"%s\" names icon %u, which the file does not hold",
     "%s: \"%s\" 引用的图标 %u 不在文件中"},
    {Text::kImagePassedOver, "%s: \"%s\" image %u (%dx%d) does not decode within the limits; passed over",
     "%s: \"%s\" 的图像 %u (%dx%d) 无法在限度内解码，已跳过"},
    {Text::kEntryNotRead, "%s: \"%s\" cannot be read", "%s: 无法读取 \"%s\""},
    {Text::kEntryNotWritten, "%s: \"%s\" was not written", "%s: \"%s\" 没有写出"},
    {Text::kTargetNotWritten, "%s: the file was not written", "%s: 文件没有写出"},
    {Text::kTargetNotWrittenBecause, "%s: the file was not written (%s)", "%s: 文件没有写出 (%s)"},
    {Text::kSetIconArguments, "set-icon takes PROGRAM and ICON", "set-icon 需要程序和图标"},
    {Text::kAddWithEntry, "--add goes with neither --entry nor --index", "--add 不能与 --entry 或 --index 同时使用"},
    {Text::kNotAProgram, "%s: not a 32- or 64-bit Windows program (no PE header)",
     "%s: 不是 32 位或 64 位 Windows 程序 (没有 PE 头)"},
    {Text::kSixteenBitProgram, "%s: a 16-bit Windows program (NE header); only PE programs are rewritten",
     "%s: 是 16 位 Windows 程序 (NE 头); 只能改写 PE 程序"},
    {Text::kDotNetBundle,
     "%s: a .NET single-file bundle (the file holds the bundle marker and a bundle offset); moving its bytes "
     "would break it",
     "%s: 是 .NET 单文件捆绑程序 (文件中有捆绑标记和捆绑偏移); 移动其字节会破坏它"},
    {Text::kPackedProgram, "%s: packed with %s (its section names say so); a rewrite would break its unpacker",
     "%s: 已用 %s 压缩 (由其节名可知); 改写会破坏其解压程序"},
    {Text::kSignedProgram,
     "%s: signed (an Authenticode certificate table), and a changed program's signature is invalid; "
     "--strip-signature removes it",
     "%s: 已签名 (Authenticode 证书表)，改动后的程序签名无效; --strip-signature 会删除签名"},
    {Text::kSignatureNotLast, "%s: its certificate table does not end the file", "%s: 其证书表不在文件末尾"},
    {Text::kSectionsDamaged, "%s: its section table or alignments are damaged", "%s: 其节表或对齐值已损坏"},
    {Text::kSectionsOverlap, "%s: its resource section overlaps another section", "%s: 其资源节与另一个节重叠"},
    {Text::kNoHeaderRoom, "%s: its resources need a new section, and its headers have no room for one",
     "%s: 其资源需要一个新节，但文件头中没有空间"},
    {Text::kResourcesTooLarge, "%s: its resources would pass 4 GiB", "%s: 其资源将超过 4 GiB"},
    {Text::kProgramTooLarge, "%s: cannot read the whole program (at most 1 GiB)", "%s: 无法读取整个程序 (最大 1 GiB)"},
    {Text::kResourcesDamaged, "%s: its resource directory is damaged: %s", "%s: 其资源目录已损坏: %s"},
    {Text::kTreeTableOutside, "a table, entry or name lies outside its section", "表、项或名称在其节之外"},
    {Text::kTreeDataEntryOutside, "a data entry lies outside its section", "数据项在其节之外"},
    {Text::kTreeDataOutside, "a resource's bytes lie outside the file", "资源的字节在文件之外"},
    {Text::kTreeLoops, "a table is reached twice (the tree points back into itself)", "某个表被引用两次 (目录有环)"},
    {Text::kTreeWrongDepth, "an entry stands where a table belongs, or a table below the languages",
     "某项所在层次不对"},
    {Text::kTreeOverlaps, "a resource's bytes overlap the directory's tables", "资源的字节与目录的表重叠"},
    {Text::kTreeTooMany, "it has more entries than any program holds", "其项数超过任何程序"},
    {Text::kTreeListedTwice, "a table lists one name twice", "某个表把同一名称列了两次"},
    {Text::kNoGroupToReplace, "%s: has no group icon to replace (--add NAME adds one)",
     "%s: 没有可替换的组图标 (--add 名称 可添加一个)"},
    {Text::kGroupExists, "%s: has a group icon \"%s\" already", "%s: 已有组图标 \"%s\""},
    {Text::kNoFreeIconIds, "%s: has no icon identifiers left for the new images", "%s: 没有剩余的图标标识符给新图像"},
    {Text::kSignatureRemoved, "%s: its signature was removed", "%s: 其签名已删除"},
};

MessageLanguage g_language = MessageLanguage::kEnglish;

}  // namespace

void SetCommandLanguage(MessageLanguage language) { g_language = language; }

const char* CommandText(Text id) {
  for (const TextDefinition& text : kTexts) {
    if (text.id == id) return g_language == MessageLanguage::kChinese ? text.chinese : text.english;
  }
  return "";
}

void Say(Text id, ...) {
  std::va_list values;
  va_start(values, id);
  std::va_list again;
  va_copy(again, values);
  const int length = std::vsnprintf(nullptr, 0, CommandText(id), values);
  va_end(values);
  std::string line(length > 0 ? static_cast<std::size_t>(length) + 1 : 1, '\0');
  if (length > 0) std::vsnprintf(&line[0], line.size(), CommandText(id), again);
  va_end(again);
  line.resize(line.size() - 1);
  // The names and paths in it come from files and command lines.
  std::fprintf(stderr, "%s\n", TerminalText(line).c_str());
}
