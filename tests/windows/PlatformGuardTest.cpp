// The single-instance mutex and the system's error texts on Windows.
#include "platform/SingleInstance.h"
#include "serial/Exceptions.h"

#include <gtest/gtest.h>

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

namespace {

TEST(SingleInstanceMutex, OnlyTheFirstHolderRunsAndTheNameIsFreeAgainAfterRelease) {
    SingleInstanceGuard first("orewavexada");
    ASSERT_TRUE(first.Acquire());
    // Another process sees the same named object; so does a second guard in this one.
    HANDLE probe = OpenMutexA(SYNCHRONIZE, FALSE, "orewavexada");
    ASSERT_NE(probe, nullptr);
    CloseHandle(probe);
    SingleInstanceGuard second("orewavexada");
    EXPECT_FALSE(second.Acquire());
    first.Release();
    EXPECT_EQ(OpenMutexA(SYNCHRONIZE, FALSE, "orewavexada"), nullptr);
    EXPECT_TRUE(second.Acquire());
}

// Numbers the table lacks take the system's message, cleaned of its line break and double blanks.
TEST(SystemErrorTexts, AreTheSystemsMessageOnOneLine) {
    for (const int code : {-31, -50, -87}) {
        SCOPED_TRACE(code);
        const std::string text = AproLoadStr(code);
        ASSERT_FALSE(text.empty());
        EXPECT_EQ(text.find_first_of("\r\n\t"), std::string::npos) << text;
        EXPECT_EQ(text.find("  "), std::string::npos) << text;
        EXPECT_EQ(text.back(), ' ') << text; // the message's own line end, turned into one blank
    }
    try {
        CheckException(nullptr, -31);
        FAIL() << "no exception for -31";
    } catch (const EInOutError& e) {
        EXPECT_EQ(e.ErrorCode(), 31);
        EXPECT_EQ(std::string(e.what()), AproLoadStr(-31));
    }
    // Table texts still win over the system's.
    EXPECT_EQ(AproLoadStr(-2), "File not found");
}

} // namespace
