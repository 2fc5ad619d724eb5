#include <gtest/gtest.h>

#include "rtf/RtfFields.h"

TEST(RtfFieldsTest, HyperlinkTargetsAreTheAddressAndBookmark) {
    using rtf::hyperlinkTarget;
    EXPECT_EQ(hyperlinkTarget(" HYPERLINK http://a.example/x "), "http://a.example/x");
    EXPECT_EQ(hyperlinkTarget("hyperlink \"http://a.example/a b\""), "http://a.example/a b");
    // A bookmark alone, or after the address.
    EXPECT_EQ(hyperlinkTarget("HYPERLINK \\l \"bolum 2\""), "#bolum 2");
    EXPECT_EQ(hyperlinkTarget("HYPERLINK \"http://a.example/\" \\l son"), "http://a.example/#son");
    // The tooltip and the target frame are no address, wherever they stand.
    EXPECT_EQ(hyperlinkTarget("HYPERLINK \\o \"ipucu\" \\t _blank \"http://a.example/\""),
              "http://a.example/");
    EXPECT_EQ(hyperlinkTarget("HYPERLINK http://a.example/ \\o \"http://b.example/\""),
              "http://a.example/");
    // An unclosed quote runs to the end.
    EXPECT_EQ(hyperlinkTarget("HYPERLINK \"http://a.example/a b"), "http://a.example/a b");
    // Other fields, and a field with no address, give nothing.
    EXPECT_EQ(hyperlinkTarget("PAGE"), "");
    EXPECT_EQ(hyperlinkTarget("HYPERLINK"), "");
    EXPECT_EQ(hyperlinkTarget("INCLUDEPICTURE \"http://a.example/p.png\""), "");
}
