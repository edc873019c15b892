#include "text/sha256.h"

#include <gtest/gtest.h>

#include <string>

#include "support/temp_folder.h"

using namespace quillon;
using quillon::text::sha256_hex;

// The standard's own examples, and the lengths around a block's end where the padding takes
// one block or two.
TEST(Sha256, DigestsAsTheStandardGivesThem) {
    struct Case {
        std::string bytes;
        const char* digest;
    };
    const std::string a(1000000, 'a');
    for (const Case& c : {
             Case{"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
             Case{"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
             Case{"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
                  "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
             Case{a.substr(0, 55),
                  "9f4390f8d30c2dd92ec9f095b65e2b9ae9b0a925a5258e241c9f1e910f734318"},
             Case{a.substr(0, 56),
                  "b35439a4ac6f0948b6d6f9e3c6af0f5f590ce20f1bde7090ef7970686ec6738a"},
             Case{a.substr(0, 63),
                  "7d3e74a05d7db15bce4ad9ec0658ea98e3f06eeecf16b4c6fff2da457ddc2f34"},
             Case{a.substr(0, 64),
                  "ffe054fe7ae0cb6dc65c3af9b61d5209f439851db43d0ba5997337df154668eb"},
             Case{a.substr(0, 65),
                  "635361c48bb9eab14198e76ea8ab7f1a41685d6ad62aa9146d301d4f17eb0ae0"},
             Case{a.substr(0, 119),
                  "31eba51c313a5c08226adf18d4a359cfdfd8d2e816b13f4af952f7ea6584dcfb"},
             Case{a.substr(0, 120),
                  "2f3d335432c70b580af0e8e1b3674a7c020d683aa5f73aaaedfdc55af904c21c"},
             Case{a, "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
         }) {
        EXPECT_EQ(sha256_hex(c.bytes), c.digest) << c.bytes.size() << " bytes";
    }
}

// Fed in pieces of any size, across block ends or not, the digest is that of the whole; a file
// is hashed as its bytes, and one that cannot be read gives its failure and no digest.
TEST(Sha256, PiecesAndFilesGiveTheDigestOfTheWhole) {
    std::string bytes;
    for (int i = 0; i < 200000; ++i) {
        bytes += static_cast<char>(i * 7);
    }
    const std::string whole = sha256_hex(bytes);
    for (const std::size_t piece : {std::size_t{1}, std::size_t{55}, std::size_t{64},
                                    std::size_t{65}, std::size_t{4096}, std::size_t{199999}}) {
        text::Sha256 sha;
        for (std::size_t at = 0; at < bytes.size(); at += piece) {
            sha.update(std::string_view(bytes).substr(at, piece));
        }
        EXPECT_EQ(sha.finish_hex(), whole) << piece << "-byte pieces";
    }

    test_support::TempFolder folder;
    ASSERT_TRUE(text::replace_file(folder.file("video.mp4"), bytes).ok);
    EXPECT_EQ(text::sha256_of_file(folder.file("video.mp4")).hex, whole);
    for (const std::string& bad : {folder.file("missing.mp4"), folder.str()}) {
        const auto digest = text::sha256_of_file(bad);
        EXPECT_FALSE(digest.status.ok) << bad;
        EXPECT_TRUE(digest.hex.empty()) << bad;
    }
}
