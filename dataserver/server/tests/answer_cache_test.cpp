// The kept answers' bounds and versions: what may be served again and what must go.
#include "dataserver/server/answer_cache.h"

#include <gtest/gtest.h>

namespace kinvo::ds {
namespace {

SharedBody body(std::size_t bytes) {
    return std::make_shared<const std::string>(bytes, 'x');
}

TEST(AnswerCache, ServesOnlyTheVersionItWasBuiltFrom) {
    AnswerCache cache(8, 1024);
    cache.store("list", {1, 5}, body(10));
    EXPECT_NE(cache.find("list", {1, 5}), nullptr);
    EXPECT_EQ(cache.find("list", {1, 6}), nullptr);  // starts written since
    EXPECT_NE(cache.findOfGeneration("list", {1, 6}), nullptr);
    EXPECT_EQ(cache.find("other", {1, 5}), nullptr);
    // A newer generation drops everything at once, and an answer built from an older one is
    // not kept.
    EXPECT_EQ(cache.find("list", {2, 5}), nullptr);
    EXPECT_EQ(cache.entries(), 0u);
    cache.store("list", {1, 5}, body(10));
    EXPECT_EQ(cache.entries(), 0u);
}

TEST(AnswerCache, StaysWithinItsEntriesAndBytesDroppingTheLeastRecentlyUsed) {
    struct Case {
        std::size_t maxEntries, maxBytes, bodyBytes;
        std::size_t keptEntries;
    };
    for (const Case& c : {Case{3, 1 << 20, 10, 3}, Case{100, 100, 40, 2}, Case{100, 100, 200, 0}}) {
        AnswerCache cache(c.maxEntries, c.maxBytes);
        for (int i = 0; i < 10; ++i) {
            std::string key = "k" + std::to_string(i);
            cache.store(key, {1, 0}, body(c.bodyBytes));
            cache.find("k0", {1, 0});  // k0 stays the most recently used
        }
        EXPECT_EQ(cache.entries(), c.keptEntries) << c.maxEntries << " " << c.maxBytes;
        EXPECT_LE(cache.bytes(), c.maxBytes);
        EXPECT_EQ(cache.find("k0", {1, 0}) != nullptr, c.keptEntries > 0);
        EXPECT_EQ(cache.find("k1", {1, 0}), nullptr);
    }
}

TEST(AnswerCache, AHeldBodyOutlivesItsEntry) {
    AnswerCache cache(1, 1024);
    cache.store("a", {1, 0}, body(5));
    SharedBody held = cache.find("a", {1, 0});
    cache.store("b", {1, 0}, body(6));
    EXPECT_EQ(cache.find("a", {1, 0}), nullptr);
    ASSERT_NE(held, nullptr);
    EXPECT_EQ(*held, "xxxxx");
}

}  // namespace
}  // namespace kinvo::ds
