// The splitter cursors as the DLL carries them: group cursors 1001 and 1002
// in language 1041, each a 32 x 32 and a 16 x 16 monochrome image with its
// hot spot at the centre of the shape, drawn along the axis of movement.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <vector>

namespace {

constexpr WORD kJapanese = MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT);

#pragma pack(push, 2)
struct GroupEntry {  // one image in a group cursor resource
  WORD width;
  WORD height;  // twice the image height: XOR and AND masks
  WORD planes;
  WORD bitCount;
  DWORD bytes;
  WORD id;
};
#pragma pack(pop)

std::vector<BYTE> Resource(LPCSTR type, WORD id) {
  const HMODULE dll = GetModuleHandleA("qxdll32.dll");
  HRSRC found = FindResourceExA(dll, type, MAKEINTRESOURCEA(id), kJapanese);
  if (found == nullptr) return {};
  const BYTE* data = static_cast<const BYTE*>(LockResource(LoadResource(dll, found)));
  return std::vector<BYTE>(data, data + SizeofResource(dll, found));
}

// One decoded image: the hot spot and which pixels are drawn black.
struct Image {
  int size = 0;
  POINT hotSpot{};
  std::vector<bool> black;  // row-major, top row first
  bool Black(int x, int y) const { return black[y * size + x]; }
};

Image Decode(const std::vector<BYTE>& resource) {
  Image image;
  WORD hot[2];
  std::memcpy(hot, resource.data(), sizeof hot);
  image.hotSpot = {hot[0], hot[1]};
  BITMAPINFOHEADER header;
  std::memcpy(&header, resource.data() + 4, sizeof header);
  EXPECT_EQ(header.biBitCount, 1);
  EXPECT_EQ(header.biHeight, 2 * header.biWidth);
  image.size = header.biWidth;
  const int stride = (image.size + 31) / 32 * 4;
  const BYTE* xorMask = resource.data() + 4 + header.biSize + 2 * sizeof(RGBQUAD);
  const BYTE* andMask = xorMask + stride * image.size;
  auto bit = [&](const BYTE* mask, int x, int y) {
    return (mask[(image.size - 1 - y) * stride + x / 8] >> (7 - x % 8)) & 1;
  };
  for (int y = 0; y < image.size; ++y)
    for (int x = 0; x < image.size; ++x)
      image.black.push_back(bit(andMask, x, y) == 0 && bit(xorMask, x, y) == 0);
  return image;
}

// Black pixels on the line through the hot spot along (dx, dy), at least a
// third of the image away from it, counted before and after it.
struct Reach {
  int before = 0;
  int after = 0;
};

Reach FarBlack(const Image& image, int dx, int dy) {
  Reach reach;
  for (int d = image.size / 3; d < image.size; ++d) {
    for (int sign : {-1, 1}) {
      const int x = image.hotSpot.x + sign * d * dx;
      const int y = image.hotSpot.y + sign * d * dy;
      if (x < 0 || y < 0 || x >= image.size || y >= image.size || !image.Black(x, y)) continue;
      ++(sign < 0 ? reach.before : reach.after);
    }
  }
  return reach;
}

struct Group {
  WORD id;
  WORD firstImage;
  bool movesVertically;
};

class SplitterCursor : public ::testing::TestWithParam<Group> {};

TEST_P(SplitterCursor, GroupHoldsTwoMonochromeImagesShapedAlongTheAxis) {
  const Group& group = GetParam();
  const std::vector<BYTE> directory = Resource(RT_GROUP_CURSOR, group.id);
  ASSERT_FALSE(directory.empty()) << "no group cursor " << group.id << " in language 1041";
  WORD head[3];
  std::memcpy(head, directory.data(), sizeof head);
  EXPECT_EQ(head[1], 2) << "resource type: cursor";
  ASSERT_EQ(head[2], 2) << "two images";

  const int sizes[] = {32, 16};
  const LONG hotSpots[] = {15, 8};
  for (int i = 0; i < 2; ++i) {
    GroupEntry entry;
    std::memcpy(&entry, directory.data() + sizeof head + i * sizeof entry, sizeof entry);
    SCOPED_TRACE(::testing::Message() << "cursor " << group.id << " image " << entry.id);
    EXPECT_EQ(entry.id, group.firstImage + i);
    EXPECT_EQ(entry.width, sizes[i]);
    EXPECT_EQ(entry.height, 2 * sizes[i]);
    EXPECT_EQ(entry.bitCount, 1);

    const Image image = Decode(Resource(RT_CURSOR, entry.id));
    ASSERT_EQ(image.size, sizes[i]);
    EXPECT_EQ(image.hotSpot.x, hotSpots[i]);
    EXPECT_EQ(image.hotSpot.y, hotSpots[i]);
    EXPECT_FALSE(image.Black(image.hotSpot.x, image.hotSpot.y)) << "between the bars";
    // Arrow heads on both sides along the axis of movement, a gap between
    // the bars across it.
    const Reach along = group.movesVertically ? FarBlack(image, 0, 1) : FarBlack(image, 1, 0);
    const Reach across = group.movesVertically ? FarBlack(image, 1, 0) : FarBlack(image, 0, 1);
    EXPECT_GT(along.before, 1) << "arrows along the axis";
    EXPECT_EQ(along.before, along.after) << "the arrows mirror each other";
    EXPECT_EQ(across.before + across.after, 0) << "nothing far out across the axis";
  }
}

INSTANTIATE_TEST_SUITE_P(Splitters, SplitterCursor,
                         ::testing::Values(Group{1001, 1, true}, Group{1002, 3, false}),
                         [](const ::testing::TestParamInfo<Group>& param) {
                           return param.param.movesVertically ? "UpDown1001" : "LeftRight1002";
                         });

TEST(SplitterCursorLoad, LoadsFromTheModuleAtBothSizes) {
  const HMODULE dll = GetModuleHandleA("qxdll32.dll");
  for (WORD id : {1001, 1002}) {
    for (int size : {32, 16}) {
      HANDLE cursor = LoadImageA(dll, MAKEINTRESOURCEA(id), IMAGE_CURSOR, size, size, 0);
      ASSERT_NE(cursor, nullptr) << id << " at " << size;
      ICONINFO info{};
      ASSERT_TRUE(GetIconInfo(static_cast<HICON>(cursor), &info));
      EXPECT_FALSE(info.fIcon);
      EXPECT_EQ(info.xHotspot, size == 32 ? 15u : 8u);
      EXPECT_EQ(info.hbmColor, nullptr) << "monochrome";
      DeleteObject(info.hbmMask);
      DeleteObject(info.hbmColor);
      DestroyCursor(static_cast<HCURSOR>(cursor));
    }
  }
}

}  // namespace
