// The native platform's icon decoding, best-fit choice and list order,
// compiled for Windows and compared with what user32 does with the same
// input under Wine.
#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "platform/posix/icon_best_fit.h"
#include "codecs/icon_picture.h"
#include "core/icon_maker.h"
#include "platform/list_order.h"
#include "platform/platform.h"
#include "tests/module_icons/module_bytes.h"
#include "tests/support/image_bytes.h"

namespace {

const char kShell32[] = "Z:\\usr\\lib\\i386-linux-gnu\\wine\\i386-windows\\shell32.dll";

// A 32-bit top-down surface to draw on.
class Surface {
 public:
  Surface(int width, int height) : width_(width), height_(height) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    dc_ = CreateCompatibleDC(nullptr);
    bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_), nullptr, 0);
    old_ = SelectObject(dc_, bitmap_);
  }
  ~Surface() {
    SelectObject(dc_, old_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
  }
  Surface(const Surface&) = delete;
  Surface& operator=(const Surface&) = delete;

  bool Draw(HICON icon, std::uint32_t background) {
    GdiFlush();
    for (int i = 0; i < width_ * height_; ++i) bits_[i] = background;
    BOOL drawn = DrawIconEx(dc_, 0, 0, icon, width_, height_, 0, nullptr, DI_NORMAL);
    GdiFlush();
    return drawn != FALSE;
  }
  std::uint32_t At(int x, int y) const { return bits_[y * width_ + x] & 0xFFFFFF; }

 private:
  int width_, height_;
  HDC dc_;
  HBITMAP bitmap_;
  HGDIOBJ old_;
  std::uint32_t* bits_ = nullptr;
};

int Channel(std::uint32_t color, int shift) { return static_cast<int>(color >> shift & 0xFF); }

Bytes WithTable(Bytes block, const Bytes& table) {
  std::copy(table.begin(), table.end(), block.begin() + 40);
  return block;
}

Bytes WithoutAlpha(Bytes block) {
  for (std::size_t at = 40 + 3; at < 40 + 4u * 16 * 16; at += 4) block[at] = 0;
  return block;
}

TEST(IconDecodingOracle, PixelsAsUser32DrawsThem) {
  Bytes blackWhite = {0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0};
  Bytes pngIcon = kSmallPng;
  Bytes noMask = IconImageBlock(16, 16, 32, 0, 17);
  noMask.resize(40 + 4 * 16 * 16);  // the block ends with the XOR rows
  struct Case {
    const char* what;
    Bytes block;
  } cases[] = {
      {"1 bit, coloured table", IconImageBlock(16, 16, 1, 0, 3)},
      {"1 bit, black and white", WithTable(IconImageBlock(16, 16, 1, 0, 3), blackWhite)},
      {"4 bits", IconImageBlock(16, 16, 4, 0, 5)},
      {"8 bits", IconImageBlock(16, 16, 8, 0, 9)},
      {"8 bits, 16 colours used", IconImageBlock(16, 16, 8, 16, 9)},
      {"16 bits", IconImageBlock(16, 16, 16, 0, 11)},
      {"24 bits", IconImageBlock(16, 16, 24, 0, 13)},
      {"32 bits with alpha", IconImageBlock(16, 16, 32, 0, 17)},
      {"32 bits without alpha", WithoutAlpha(IconImageBlock(16, 16, 32, 0, 17))},
      {"32 bits with alpha, no AND rows", noMask}, {"32 bits without alpha, no AND rows", WithoutAlpha(noMask)},
      {"PNG", pngIcon},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    IconPicture picture;
    ASSERT_EQ(DecodeOutcome::kDecoded, DecodeIconImage(c.block.data(), c.block.size(), &picture));
    Bytes block = c.block;
    HICON icon = CreateIconFromResourceEx(block.data(), static_cast<DWORD>(block.size()), TRUE,
                                          0x30000, picture.width, picture.height, 0);
    ASSERT_NE(nullptr, icon) << "user32 made no icon";
    Surface surface(picture.width, picture.height);
    int worst = 0;
    for (std::uint32_t background : {0x000000u, 0xFFFFFFu, 0x3080C0u}) {
      ASSERT_TRUE(surface.Draw(icon, background));
      int mismatches = 0;
      for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
          std::uint32_t ours = DrawnIconPixel(picture, x, y, background);
          std::uint32_t theirs = surface.At(x, y);
          for (int shift : {0, 8, 16}) {
            int difference = std::abs(Channel(ours, shift) - Channel(theirs, shift));
            if (difference > worst) worst = difference;
          }
          if (ours != theirs && mismatches++ < 3) {
            ADD_FAILURE_AT(__FILE__, __LINE__) << std::hex << "at " << std::dec << x << "," << y
                                              << " over " << std::hex << background << ": ours "
                                              << ours << ", user32 " << theirs;
          }
        }
      }
      (void)mismatches;
    }
    DestroyIcon(icon);
  }
}

BOOL CALLBACK CollectName(HMODULE, LPCSTR, LPSTR name, LONG_PTR names) {
  auto* list = reinterpret_cast<std::vector<std::string>*>(names);
  list->push_back(IS_INTRESOURCE(name) ? "#" + std::to_string(reinterpret_cast<UINT_PTR>(name)) : name);
  return TRUE;
}

int OurChoice(const BYTE* group, std::size_t length, int depth) {
  return BestGroupIconId(group, length, 32, 32, depth);
}

int DisplayDepth() {
  HDC screen = GetDC(nullptr);
  int depth = GetDeviceCaps(screen, BITSPIXEL);
  ReleaseDC(nullptr, screen);
  return depth;
}

TEST(BestFitOracle, SameChoiceAsUser32ForEveryGroupOfShell32) {
  ASSERT_EQ(32, GetSystemMetrics(SM_CXICON));
  int depth = DisplayDepth();
  HMODULE module = LoadLibraryExA(kShell32, nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (module == nullptr) GTEST_SKIP() << "no " << kShell32;
  std::vector<std::string> names;
  EnumResourceNamesA(module, RT_GROUP_ICON, CollectName, reinterpret_cast<LONG_PTR>(&names));
  EXPECT_EQ(184u, names.size());
  for (const std::string& name : names) {
    HRSRC found = FindResourceA(module, name.c_str(), RT_GROUP_ICON);
    ASSERT_NE(nullptr, found) << name;
    BYTE* group = static_cast<BYTE*>(LockResource(LoadResource(module, found)));
    DWORD length = SizeofResource(module, found);
    EXPECT_EQ(LookupIconIdFromDirectory(group, TRUE) & 0xFFFF, OurChoice(group, length, depth)) << name;
  }
  FreeLibrary(module);
}

TEST(BestFitOracle, SameChoiceAsUser32ForMadeUpDirectories) {
  int depth = DisplayDepth();
  std::vector<std::vector<GroupEntry>> groups = {
      {{16, 16, 4, 0, 1}, {32, 32, 4, 0, 2}, {48, 48, 8, 0, 3}},
      {{32, 32, 4, 0, 1}, {32, 32, 8, 0, 2}, {32, 32, 24, 0, 3}},
      {{0, 0, 32, 0, 1}, {16, 16, 4, 0, 2}},
      {{24, 24, 32, 0, 1}, {40, 40, 32, 0, 2}},
      {{32, 32, 24, 0, 1}, {32, 32, 40, 0, 2}},
      {{36, 32, 4, 0, 1}, {32, 36, 32, 0, 2}},
      {{0, 0, 32, 0, 1}, {0, 0, 8, 0, 2}, {64, 64, 32, 0, 3}},
      {{0, 16, 32, 0, 1}, {16, 0, 32, 0, 2}},
      {{32, 32, 0, 0, 1}, {32, 32, 1, 0, 2}},
  };
  for (std::size_t i = 0; i < groups.size(); ++i) {
    Bytes group = GroupDirectory(groups[i]);
    EXPECT_EQ(LookupIconIdFromDirectory(group.data(), TRUE) & 0xFFFF,
              OurChoice(group.data(), group.size(), depth))
        << "directory " << i;
  }
}

// Icons made from pictures, as Windows takes them: best fit finds each size,
// and user32 draws each image as its picture where that is opaque or clear.
TEST(MadeIconOracle, User32FindsAndDrawsEveryImage) {
  std::vector<MakerInput> inputs;
  for (std::int32_t side : WindowsIconSizes()) {
    MakerInput input;
    input.picture.width = input.picture.height = side;
    for (std::int32_t p = 0; p < side * side; ++p) {
      const std::uint8_t alpha = p % 3 == 0 ? 0 : p % 3 == 1 ? 255 : 128;
      for (int c : {p * 7, p * 13 + side, p * 29}) input.picture.pixels.push_back(static_cast<std::uint8_t>(c));
      input.picture.pixels.push_back(alpha);
    }
    inputs.push_back(input);
  }
  const MadeIcon made = MakeIcon(inputs, IconRecipe{});
  ASSERT_TRUE(made.group);
  std::vector<GroupEntry> entries;
  for (std::uint32_t i = 0; i < made.group->imageCount; ++i) {
    const IconImage& image = made.group->images[i];
    entries.push_back({static_cast<std::uint8_t>(image.width), static_cast<std::uint8_t>(image.height), 32,
                       image.byteCount, static_cast<std::uint16_t>(i + 1)});
  }
  Bytes group = GroupDirectory(entries);
  for (std::uint32_t i = 0; i < made.group->imageCount; ++i) {
    IconImage& image = made.group->images[i];
    SCOPED_TRACE(image.width);
    EXPECT_EQ(static_cast<int>(i + 1), LookupIconIdFromDirectoryEx(group.data(), TRUE, image.width, image.width, 0));
    HICON icon = CreateIconFromResourceEx(image.bits, image.byteCount, TRUE, 0x30000, image.width, image.width, 0);
    ASSERT_NE(nullptr, icon) << "user32 made no icon";
    Surface surface(image.width, image.width);
    ASSERT_TRUE(surface.Draw(icon, 0x3080C0));
    const RgbaPicture* picture = nullptr;
    for (const MakerInput& input : inputs) {
      if (input.picture.width == image.width) picture = &input.picture;
    }
    int mismatches = 0;
    for (int at = 0; at < image.width * image.width; ++at) {
      const std::uint8_t* rgba = &picture->pixels[4 * static_cast<std::size_t>(at)];
      if (rgba[3] == 128) continue;
      const std::uint32_t want = rgba[3] == 0 ? 0x3080C0 : std::uint32_t{rgba[0]} << 16 | rgba[1] << 8 | rgba[2];
      if (surface.At(at % image.width, at / image.width) != want) ++mismatches;
    }
    EXPECT_EQ(0, mismatches);
    DestroyIcon(icon);
  }
}

// Entries in the order a real sorted list box keeps them.
std::vector<std::string> ListBoxOrder(const std::vector<std::string>& texts, bool* made) {
  std::vector<std::string> order;
  HWND list = CreateWindowExA(0, "LISTBOX", "", LBS_SORT | LBS_HASSTRINGS, 0, 0, 100, 100, nullptr,
                              nullptr, GetModuleHandleA(nullptr), nullptr);
  *made = list != nullptr;
  if (list == nullptr) return order;
  for (const std::string& text : texts) SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
  LRESULT count = SendMessageA(list, LB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    char buffer[512] = {};
    SendMessageA(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(buffer));
    order.push_back(buffer);
  }
  DestroyWindow(list);
  return order;
}

std::vector<std::string> NativeOrder(const std::vector<std::string>& texts) {
  std::vector<std::string> order;
  for (const std::string& text : texts) {
    std::size_t at = SortedInsertIndex(text.c_str(), order.size(),
                                       [&](std::size_t i) { return order[i].c_str(); });
    order.insert(order.begin() + static_cast<std::ptrdiff_t>(at), text);
  }
  return order;
}

TEST(ListOrderOracle, SameOrderAsASortedListBox) {
  std::vector<std::vector<std::string>> corpora;
  std::vector<std::string> entries;
  for (int id : {1, 2, 10, 128, 3, 33, 100, 1000, 65535, 20, 200}) entries.push_back("Icon [" + std::to_string(id) + "]");
  for (const char* name : {"MAINICON", "mainicon", "APP_ICON", "APP-ICON", "APPICON", "A1", "Z", "_X",
                           "IDI_ICON1", "IDI_ICON10", "IDI_ICON2", "ICON'S", "ICON S", "ICO.N", "#1"}) {
    entries.push_back(std::string("Icon [") + name + "]");
  }
  corpora.push_back(entries);
  std::mt19937 random(1234);
  for (int round = 0; round < 20; ++round) {
    std::vector<std::string> texts;
    for (int i = 0; i < 60; ++i) {
      std::string text;
      int length = static_cast<int>(random() % 6);
      for (int k = 0; k < length; ++k) {
        // Mostly the characters resource names are made of, some of any ASCII.
        static const char common[] = "AaBb019_-' .";
        text += (random() % 3) ? common[random() % (sizeof common - 1)]
                               : static_cast<char>(1 + random() % 127);
      }
      texts.push_back(text);
    }
    corpora.push_back(texts);
  }
  for (std::size_t i = 0; i < corpora.size(); ++i) {
    bool made = false;
    std::vector<std::string> theirs = ListBoxOrder(corpora[i], &made);
    if (!made) GTEST_SKIP() << "no list box: no display";
    EXPECT_EQ(theirs, NativeOrder(corpora[i])) << "corpus " << i;
  }
}

}  // namespace
