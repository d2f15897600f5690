// The check figures of a read against the tools people compare dumps with.
#include "buffers/digests.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"
#include "support/tools.h"

namespace zambrix {
namespace {

using testing::RunTool;

// Lengths on both sides of SHA-1's block and length-field edges.
TEST(Digests, AgreeWithCrc32AndSha1sum) {
  if (!testing::ToolAvailable("crc32") || !testing::ToolAvailable("sha1sum"))
    GTEST_SKIP() << "needs crc32 (libarchive-zip-perl) and sha1sum";
  testing::TempDir dir;
  for (std::size_t n : {0, 1, 55, 56, 63, 64, 65, 119, 120, 1000, 32768}) {
    const std::string bytes = testing::RandomBytes(n, static_cast<unsigned>(n));
    const auto file = dir / ("f" + std::to_string(n));
    testing::WriteWholeFile(file, bytes);
    int status = 0;
    const std::string crc = RunTool("crc32 " + file.string(), status).substr(0, 8);
    const std::string sha = RunTool("sha1sum " + file.string(), status).substr(0, 40);
    const Digests d = Digests::Of({reinterpret_cast<const std::uint8_t*>(bytes.data()), n});
    EXPECT_EQ(d.crc32, crc) << n;
    EXPECT_EQ(d.sha1, sha) << n;
  }
}

}  // namespace
}  // namespace zambrix
