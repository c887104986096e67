// The splitter cursors as the DLL carries them: group cursors 1001 and 1002
// in language 1041, each a 32 x 32 and a 16 x 16 monochrome image with its
// hot spot between the bars and arrows along the axis of movement.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <vector>

namespace {

template <class T>
T Read(const std::vector<BYTE>& data, size_t offset) {
  T value{};
  if (offset + sizeof value <= data.size()) std::memcpy(&value, data.data() + offset, sizeof value);
  return value;
}

std::vector<BYTE> Resource(LPCSTR type, WORD id) {
  const HMODULE dll = GetModuleHandleA("qxdll32.dll");
  const HRSRC found =
      FindResourceExA(dll, type, MAKEINTRESOURCEA(id), MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT));
  if (found == nullptr) return {};
  const auto* data = static_cast<const BYTE*>(LockResource(LoadResource(dll, found)));
  return std::vector<BYTE>(data, data + SizeofResource(dll, found));
}

// Counts black pixels (AND 0, XOR 0) of a cursor image on the line through
// its hot spot along (dx, dy), a third of the image or more away from it.
struct Reach {
  int before = 0;
  int after = 0;
};

Reach FarBlack(const std::vector<BYTE>& image, int dx, int dy) {
  const POINT hot{Read<WORD>(image, 0), Read<WORD>(image, 2)};
  const auto header = Read<BITMAPINFOHEADER>(image, 4);
  const int size = header.biWidth;
  const int stride = (size + 31) / 32 * 4;
  const size_t xorMask = 4 + header.biSize + 2 * sizeof(RGBQUAD);
  const size_t andMask = xorMask + stride * size;
  auto bit = [&](size_t mask, int x, int y) {  // rows are stored bottom-up
    return (Read<BYTE>(image, mask + (size - 1 - y) * stride + x / 8) >> (7 - x % 8)) & 1;
  };
  Reach reach;
  for (int d = size / 3; d < size; ++d) {
    for (int sign : {-1, 1}) {
      const int x = hot.x + sign * d * dx, y = hot.y + sign * d * dy;
      if (x < 0 || y < 0 || x >= size || y >= size) continue;
      if (bit(andMask, x, y) == 0 && bit(xorMask, x, y) == 0)
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

void PrintTo(const Group& group, std::ostream* os) {
  *os << group.id;
}

class SplitterCursor : public ::testing::TestWithParam<Group> {};

TEST_P(SplitterCursor, TwoMonochromeImagesWithArrowsAlongTheAxis) {
  const Group& group = GetParam();
  const std::vector<BYTE> directory = Resource(RT_GROUP_CURSOR, group.id);
  ASSERT_FALSE(directory.empty()) << "no group cursor " << group.id << " in language 1041";
  ASSERT_EQ(Read<WORD>(directory, 4), 2) << "two images";

  const int sizes[] = {32, 16};
  const WORD hotSpots[] = {15, 8};
  for (int i = 0; i < 2; ++i) {
    // Directory entries: width, height (both masks), planes, bit count,
    // bytes, image id; 14 bytes each after the 6-byte head.
    const size_t entry = 6 + 14 * i;
    const WORD imageId = Read<WORD>(directory, entry + 12);
    SCOPED_TRACE(::testing::Message() << "cursor " << group.id << " image " << imageId);
    EXPECT_EQ(imageId, group.firstImage + i);
    EXPECT_EQ(Read<WORD>(directory, entry), sizes[i]);
    EXPECT_EQ(Read<WORD>(directory, entry + 2), 2 * sizes[i]);
    EXPECT_EQ(Read<WORD>(directory, entry + 6), 1) << "monochrome";

    const std::vector<BYTE> image = Resource(RT_CURSOR, imageId);
    EXPECT_EQ(Read<WORD>(image, 0), hotSpots[i]);
    EXPECT_EQ(Read<WORD>(image, 2), hotSpots[i]);
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

}  // namespace
