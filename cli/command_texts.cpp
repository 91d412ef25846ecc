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
    {Text::kTryHelp, "Try \"%s\".", "请看 \"%s\"。"},
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
    {Text::kOverwriteWithSkip, "--overwrite and --skip-existing do not go together",
     "--overwrite 与 --skip-existing 不能同时使用"},
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
    {Text::kIndexInFileName, "%s names an icon's index: --index and --entry don't go with it",
     "%s 已指明图标索引，不能再用 --index 或 --entry"},
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
    {Text::kNoImageOfSide, "%s: \"%s\" has no image of %d pixels (its sizes: %s)",
     "%s: \"%s\" 没有 %d 像素的图像 (它有的大小: %s)"},
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
    {Text::kNoFrameImage, "%s: \"%s\" has no image %u.%u", "%s: \"%s\" 没有图像 %u.%u"},
    {Text::kAnimationChunkDamaged, "%s: chunk '%s' at offset 0x%llX is damaged",
     "%s: 块 '%s' (偏移 0x%llX) 已损坏"},
    {Text::kAnimationChunkMissing, "%s: chunk '%s' is missing", "%s: 缺少块 '%s'"},
    {Text::kBinaryToTerminal,
     "pictrove: standard output is a terminal: the %s file is not written to it (redirect it, or add --force)",
     "pictrove: 标准输出是终端，%s 文件不写到终端 (请重定向，或加 --force)"},
    {Text::kCreateArguments, "create takes OUT.ico (or OUT.cur) and IMAGE...", "create 需要输出文件 (.ico 或 .cur) 和图像"},
    {Text::kCreateTargetKind, "OUT must end in .ico or .cur", "输出文件必须以 .ico 或 .cur 结尾"},
    {Text::kHotSpotWithoutCursor, "--hotspot goes with an OUT.cur", "--hotspot 只用于 .cur 输出文件"},
    {Text::kPngWithBmp, "--png and --bmp do not go together", "--png 与 --bmp 不能同时使用"},
    {Text::kSizesList, "--sizes takes sides from 1 to 256 separated by commas, not \"%s\"",
     "--sizes 需要以逗号分隔的 1 到 256 之间的边长，而不是 \"%s\""},
    {Text::kHotSpotValue, "--hotspot takes X,Y, each from 0 to 65535, not \"%s\"",
     "--hotspot 需要 X,Y，各在 0 到 65535 之间，而不是 \"%s\""},
    {Text::kNotAPicture, "%s: not a picture create reads (PNG, BMP, ICO or CUR)",
     "%s: 不是 create 能读取的图像 (PNG、BMP、ICO 或 CUR)"},
    {Text::kPictureUndecodable, "%s: the picture cannot be decoded", "%s: 图像无法解码"},
    {Text::kNoPictures, "%s: holds no images", "%s: 没有图像"},
    {Text::kSizeAboveInputs, "%s: no picture is as large as %d pixels (--enlarge scales one up)",
     "%s: 没有 %d 像素或更大的图像 (--enlarge 可放大)"},
    {Text::kLintArguments, "lint takes FILE...", "lint 需要文件"},
    {Text::kLintNotLintable, "%s: not an icon, cursor or program file", "%s: 不是图标、光标或程序文件"},
    {Text::kLintDirectoryCut, "%s: the file ends inside its directory", "%s: 文件在其目录中结束"},
    {Text::kLintError, "error", "错误"},
    {Text::kLintWarning, "warning", "警告"},
    {Text::kLintMissingSizes, "no image of the sizes Windows asks for: %s", "缺少 Windows 需要的尺寸: %s"},
    {Text::kLintUndecodable, "does not decode: Windows shows nothing for it", "无法解码: Windows 不会显示它"},
    {Text::kLintLargeBitmap, "stored as a bitmap: Windows takes images of 256 pixels PNG-compressed",
     "以位图存储: Windows 要求 256 像素的图像以 PNG 压缩"},
    {Text::kLintOver256, "larger than 256 pixels: Windows never uses it", "大于 256 像素: Windows 从不使用它"},
    {Text::kLintSideMismatch, "the directory says %lldx%lld", "目录中为 %lldx%lld"},
    {Text::kLintDepthMismatch, "the directory says %lld-bit, the bitmap is %lld-bit",
     "目录中为 %lld 位，位图为 %lld 位"},
    {Text::kLintPngDepthMismatch, "the directory says %lld-bit, the PNG is %lld-bit", "目录中为 %lld 位，PNG 为 %lld 位"},
    {Text::kLintBytesMismatch, "the directory says %lld bytes, the image takes %lld",
     "目录中为 %lld 字节，图像占 %lld 字节"},
    {Text::kLintMaskMismatch, "pixels whose AND mask disagrees with their alpha: %lld",
     "AND 掩码与 alpha 不符的像素: %lld"},
    {Text::kLintDuplicate, "the same size and depth as image %lld", "与图像 %lld 的尺寸和位数相同"},
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

MessageLanguage CommandLanguage() { return g_language; }

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
