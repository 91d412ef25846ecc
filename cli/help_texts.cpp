#include "help_texts.h"

#include "command_texts.h"

namespace {

struct Help {
  const char* command;
  const char* english;
  const char* chinese;
};

constexpr Help kHelps[] = {
    {"",
     "pictrove: takes icons and cursors out of Windows programs, libraries and\n"
     "icon files.\n"
     "\n"
     "usage: pictrove COMMAND [OPTION...] FILE...\n"
     "\n"
     "  list FILE               FILE's icons, one a line: its index and name\n"
     "  info FILE               the images of an icon: sizes, depths, bytes\n"
     "  save FILE TARGET        an icon as .ico, or one image as .png or .bmp\n"
     "  extract -o DIR FILE...  every icon of every FILE into DIR\n"
     "  thumbnail FILE OUT.png  a picture of the icon for file managers\n"
     "\n"
     "FILE is a program or library (.exe, .dll, .icl, .mun...) or an .ico, .cur,\n"
     "an .ani or a .bmp file, told by its content. An icon is the program's own\n"
     "(the first) unless --index N, FILE,N as Windows writes it, or --entry NAME\n"
     "names another.\n"
     "\n"
     "  pictrove save --size 64 app.exe app.png   the program's icon at 64 pixels\n"
     "  pictrove extract -o icons shell32.dll     each icon as an .ico file\n"
     "  pictrove list --json shell32.dll | jq .   the icons for a script\n"
     "  pictrove save shell32.dll,4 folder.ico    icon 4, every image of it\n"
     "\n"
     "\"pictrove help COMMAND\" shows a command's options; \"man pictrove\" says more.\n"
     "Exit status: 0 done, 1 something not read or not written, 2 usage error.\n",
     "pictrove: 从 Windows 程序、库和图标文件中取出图标和光标。\n"
     "\n"
     "用法: pictrove 命令 [选项...] 文件...\n"
     "\n"
     "  list 文件                文件的图标，每行一个: 索引和名称\n"
     "  info 文件                一个图标的图像: 大小、位数、字节数\n"
     "  save 文件 目标           把图标存为 .ico，或把一个图像存为 .png 或 .bmp\n"
     "  extract -o 目录 文件...  把每个文件的每个图标写入目录\n"
     "  thumbnail 文件 输出.png  为文件管理器生成图标的缩略图\n"
     "\n"
     "文件可以是程序或库 (.exe、.dll、.icl、.mun...)，或 .ico、.cur、.ani、.bmp\n"
     "文件，由内容判断。默认取程序自己的图标 (第一个)，--index 索引、Windows 的\n"
     "写法 文件,索引 或 --entry 名称 可指定其他图标。\n"
     "\n"
     "  pictrove save --size 64 app.exe app.png   64 像素的程序图标\n"
     "  pictrove extract -o icons shell32.dll     每个图标存为一个 .ico 文件\n"
     "  pictrove list --json shell32.dll | jq .   供脚本使用的图标列表\n"
     "  pictrove save shell32.dll,4 folder.ico    图标 4 的全部图像\n"
     "\n"
     "\"pictrove help 命令\" 显示该命令的选项; \"man pictrove\" 有更多说明。\n"
     "退出状态: 0 完成，1 有内容未能读取或写出，2 用法错误。\n"},
    {"list",
     "usage: pictrove list [--cursors] [--json] FILE\n"
     "\n"
     "Lists FILE's icons in Windows' order, one a line: the index (as --index and\n"
     "FILE,N take it), a tab, and \"Icon [NAME]\"; an icon or bitmap file is one\n"
     "icon, named by its path.\n"
     "\n"
     "  --cursors  the group cursors instead, \"Cursor [NAME]\"\n"
     "  --json     one JSON document: names, languages, offsets, SHA-256\n",
     "用法: pictrove list [--cursors] [--json] 文件\n"
     "\n"
     "按 Windows 的顺序列出文件的图标，每行一个: 索引 (--index 和 文件,索引 所用\n"
     "的)、制表符和 \"Icon [名称]\"; 图标文件或位图文件是一个图标，以其路径命名。\n"
     "\n"
     "  --cursors  改为列出组光标，\"Cursor [名称]\"\n"
     "  --json     一个 JSON 文档: 名称、语言、偏移、SHA-256\n"},
    {"info",
     "usage: pictrove info [--entry NAME | --index N | --all] [--cursors]\n"
     "                     [--language ID] [--json] FILE\n"
     "\n"
     "Prints the icon's line, then a line for each of its images:\n"
     "INDEX WIDTHxHEIGHT BPP-bit BYTES bytes [png].\n"
     "\n"
     "  --entry NAME   the icon \"Icon [NAME]\" (or NAME); default: the program's\n"
     "  --index N      Windows' icon index: from 0 a place in the list, below 0\n"
     "                 the icon whose id is -N\n"
     "  --all          every icon\n"
     "  --cursors      a group cursor instead, with its hot spots\n"
     "  --language ID  the icon in language ID (1033, or 0x409)\n"
     "  --json         one JSON document, with where each image lies and SHA-256\n",
     "用法: pictrove info [--entry 名称 | --index 索引 | --all] [--cursors]\n"
     "                   [--language 语言] [--json] 文件\n"
     "\n"
     "先打印图标的一行，再为其每个图像打印一行:\n"
     "序号 宽x高 位数-bit 字节数 bytes [png]。\n"
     "\n"
     "  --entry 名称    图标 \"Icon [名称]\" (或名称); 默认为程序的图标\n"
     "  --index 索引    Windows 的图标索引: 从 0 起为列表中的位置，小于 0 为\n"
     "                  标识为 -索引 的图标\n"
     "  --all           每个图标\n"
     "  --cursors       改为组光标，附带热点\n"
     "  --language 语言 该语言的图标 (1033 或 0x409)\n"
     "  --json          一个 JSON 文档，附带每个图像的位置和 SHA-256\n"},
    {"save",
     "usage: pictrove save [--entry NAME | --index N] [--image N | --size N]\n"
     "                     [--cursors] [--language ID] [--format KIND] FILE TARGET\n"
     "\n"
     "Writes the icon (default: the program's) as TARGET's extension says: .ico\n"
     "every image, .cur a cursor with its hot spots, .png one image with its\n"
     "transparency (the largest), .bmp one image's colours (the first). TARGET -\n"
     "is standard output, of --format ico, bmp, png or cur (default png).\n"
     "\n"
     "  --image N      image N, from 0, as info numbers them\n"
     "  --size N       the image of N pixels; for a .png, scaled down from the\n"
     "                 nearest larger one when there is none\n"
     "  --force        write a picture to a terminal too\n"
     "  --entry, --index, --cursors, --language   as for info\n",
     "用法: pictrove save [--entry 名称 | --index 索引] [--image 序号 | --size 边长]\n"
     "                   [--cursors] [--language 语言] [--format 类型] 文件 目标\n"
     "\n"
     "按目标的扩展名写出图标 (默认为程序的图标): .ico 全部图像，.cur 带热点的光标，\n"
     ".png 一个带透明度的图像 (最大的)，.bmp 一个图像的颜色 (第一个)。目标为 - 时\n"
     "写到标准输出，类型由 --format ico、bmp、png 或 cur 指定 (默认 png)。\n"
     "\n"
     "  --image 序号    第几个图像，从 0 起，与 info 的编号相同\n"
     "  --size 边长     该边长的图像; 没有时，.png 由最接近的更大图像缩小而成\n"
     "  --force         也把图片写到终端\n"
     "  --entry、--index、--cursors、--language   与 info 相同\n"},
    {"extract",
     "usage: pictrove extract -o DIR [--png [--all-images]] [--cursors]\n"
     "                        [--overwrite | --skip-existing] [--language ID]\n"
     "                        [--json] [-q] FILE...\n"
     "\n"
     "Writes every icon of every FILE into DIR (made when missing) as\n"
     "FILE_Icon_NAME.ico, in Windows' order, and prints each path. A name taken\n"
     "gets ~2, ~3...; a group in several languages is written for each, all but\n"
     "the first with _ID behind its name.\n"
     "\n"
     "  --png            the largest image of each icon as a .png\n"
     "  --all-images     every image, FILE_Icon_NAME_N.png\n"
     "  --cursors        every group cursor, FILE_Cursor_NAME.cur (or .png);\n"
     "                   an .ani's frame F as FILE_Cursor_F, its image I F.I\n"
     "  --overwrite      replace the files of an earlier run (and links at their\n"
     "                   names, never written through)\n"
     "  --skip-existing  leave them, writing only what is not there\n"
     "  --language ID    only the groups in language ID\n"
     "  --json           one JSON document: each file written, and its source\n"
     "  -q               no lines, no notes on files without icons\n",
     "用法: pictrove extract -o 目录 [--png [--all-images]] [--cursors]\n"
     "                      [--overwrite | --skip-existing] [--language 语言]\n"
     "                      [--json] [-q] 文件...\n"
     "\n"
     "按 Windows 的顺序把每个文件的每个图标写入目录 (不存在时创建)，文件名为\n"
     "文件_Icon_名称.ico，并打印每个路径。名称已被占用时加 ~2、~3...; 有多种语言\n"
     "的组每种写一次，除第一个外名称后加 _语言。\n"
     "\n"
     "  --png            每个图标最大的图像存为 .png\n"
     "  --all-images     每个图像，文件_Icon_名称_序号.png\n"
     "  --cursors        每个组光标，文件_Cursor_名称.cur (或 .png);\n"
     "                   .ani 的第 F 帧为 文件_Cursor_F，其图像 I 为 F.I\n"
     "  --overwrite      替换之前运行写出的文件 (名称处的链接也被替换，不会写入其目标)\n"
     "  --skip-existing  保留它们，只写出还没有的\n"
     "  --language 语言  只写该语言的组\n"
     "  --json           一个 JSON 文档: 写出的每个文件及其来源\n"
     "  -q               不打印路径，也不提示没有图标的文件\n"},
    {"thumbnail",
     "usage: pictrove thumbnail [-s SIZE] [--entry NAME | --index N] [--language ID]\n"
     "                          FILE OUT.png\n"
     "\n"
     "Writes the icon (default: the program's) as a PNG of at most SIZE x SIZE\n"
     "pixels for file managers: its image nearest at or above SIZE (else its\n"
     "largest), scaled down with its transparency, never enlarged. A file\n"
     "without icons is a failure and nothing is written. OUT.png - is standard\n"
     "output.\n"
     "\n"
     "  -s, --size SIZE  from 1 to 1024 (default 128)\n"
     "  --force          write the picture to a terminal too\n"
     "  --entry, --index, --language   as for info\n",
     "用法: pictrove thumbnail [-s 尺寸] [--entry 名称 | --index 索引] [--language 语言]\n"
     "                        文件 输出.png\n"
     "\n"
     "为文件管理器把图标 (默认为程序的图标) 写成不超过 尺寸 x 尺寸 像素的 PNG: 取\n"
     "不小于该尺寸中最接近的图像 (否则取最大的)，保留透明度缩小，从不放大。没有图标\n"
     "的文件算失败，不写出任何内容。输出.png 为 - 时写到标准输出。\n"
     "\n"
     "  -s, --size 尺寸  从 1 到 1024 (默认 128)\n"
     "  --force          也把图片写到终端\n"
     "  --entry、--index、--language   与 info 相同\n"},
};

}  // namespace

const char* HelpText(const std::string& command) {
  for (const Help& help : kHelps) {
    if (command == help.command) return CommandLanguage() == MessageLanguage::kChinese ? help.chinese : help.english;
  }
  return nullptr;
}
