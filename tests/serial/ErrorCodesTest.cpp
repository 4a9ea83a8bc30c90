// Error codes, exception classes, texts and the string tables they come from.
#include "serial/ErrorText.h"
#include "serial/Exceptions.h"
#include "serial/StringResource.h"
#include "serial/TApdComPort.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <typeinfo>
#include <vector>

namespace {

// Runs CheckException for code and hands back what it raised (the test fails if nothing was).
template <class F> void ExpectRaise(int code, F&& check) {
    try {
        CheckException(nullptr, code);
        ADD_FAILURE() << "code " << code << " raised nothing";
    } catch (const std::exception& e) {
        check(e);
    }
}

struct SerialCode {
    int code;
    const char* message;
    std::function<bool(const std::exception&)> isClassAndFamily;
};

template <class Class, class Family> std::function<bool(const std::exception&)> Is() {
    return [](const std::exception& e) {
        return typeid(e) == typeid(Class) && dynamic_cast<const Family*>(&e) != nullptr &&
               dynamic_cast<const EAPDException*>(&e) != nullptr;
    };
}

TEST(CheckException, RaisesTheClassOfEachSerialCodeWithItsTableText) {
    const std::vector<SerialCode> table = {
        {-1002, "Bad argument passed to function", Is<EBadArgument, EGeneral>()},
        {-1003, "Got quit message", Is<EGotQuitMsg, EGeneral>()},
        {-1004, "Terminal buffer greater than 65521", Is<EBufferTooBig, EGeneral>()},
        {-1005, "ComPort component not assigned", Is<EPortNotAssigned, EGeneral>()},
        {-1006, "Internal error creating window class", Is<EInternal, EGeneral>()},
        {-1007, "Modem component not assigned", Is<EModemNotAssigned, EGeneral>()},
        {-1008, "Phonebook component not assigned", Is<EPhonebookNotAssigned, EGeneral>()},
        {-1009, "Component not compatible with WinSock", Is<ECannotUseWithWinSock, EGeneral>()},
        {-2001, "ie_BadId - Specified comport doesn't exist", Is<EBadId, EOpenComm>()},
        {-2002, "ie_Baudrate - unsupported baud rate", Is<EBaudRate, EOpenComm>()},
        {-2003, "ie_Bytesize - invalid byte size", Is<EByteSize, EOpenComm>()},
        {-2004, "ie_Default - error in default parameters", Is<EDefault, EOpenComm>()},
        {-2005, "ie_Hardware - Specified comport in use", Is<EHardware, EOpenComm>()},
        {-2006, "ie_Memory - unable to allocate queues", Is<EMemory, EOpenComm>()},
        {-2007, "ie_NOpen - device not open", Is<ECommNotOpen, EOpenComm>()},
        {-2008, "ie_Open - device already open", Is<EAlreadyOpen, EOpenComm>()},
        {-2009, "No more handles, can't open port", Is<ENoHandles, EOpenComm>()},
        {-2010, "No timers available", Is<ENoTimers, EOpenComm>()},
        {-2011, "The ComNumber property of the TApdComPort has not been set",
         Is<ENoPortSelected, EOpenComm>()},
        {-2012, "Comport was not opened by Tapi", Is<ENotOpenedByTapi, EOpenComm>()},
        {-2013, "ie_Access - permission denied for the comport", Is<EPortAccessDenied, EOpenComm>()},
        {-3001, "No device layer specified", Is<ENullApi, ESerialIO>()},
        {-3003, "EnableCommNotification failed", Is<ERegisterHandlerFailed, ESerialIO>()},
        {-3004, "Failed to put entire block", Is<EPutBlockFail, ESerialIO>()},
        {-3005, "Failed to get entire block", Is<EGetBlockFail, ESerialIO>()},
        {-3006, "Output buffer too small for block", Is<EOutputBufferTooSmall, ESerialIO>()},
        {-3007, "Buffer is empty", Is<EBufferIsEmpty, ESerialIO>()},
        {-3008, "Tracing not enabled", Is<ETracingNotEnabled, ESerialIO>()},
        {-3009, "Logging not enabled", Is<ELoggingNotEnabled, ESerialIO>()},
        {-3010, "Base address not set", Is<EBaseAddressNotSet, ESerialIO>()},
        {-5002, "Data trigger too long", Is<ETriggerTooLong, ETrigger>()},
        {-5003, "Bad trigger handle", Is<EBadTriggerHandle, ETrigger>()},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(row.code);
        ExpectRaise(row.code, [&](const std::exception& e) {
            EXPECT_TRUE(row.isClassAndFamily(e)) << typeid(e).name();
            EXPECT_STREQ(e.what(), row.message);
            EXPECT_EQ(dynamic_cast<const EAPDException&>(e).ErrorCode(), row.code);
        });
    }
}

TEST(CheckException, AlreadyOpenIsAnOpenErrorAndAnApdException) {
    try {
        CheckException(nullptr, -2008);
        FAIL();
    } catch (const EOpenComm& e) {
        EXPECT_NE(dynamic_cast<const EAlreadyOpen*>(&e), nullptr);
        EXPECT_EQ(e.ErrorCode(), -2008);
        EXPECT_EQ(e.Message(), "ie_Open - device already open");
    }
}

TEST(CheckException, CodesWithoutAClassRaiseThePlainApdException) {
    for (int code : {-1001, -3002, -1167, -4001, -99999}) {
        SCOPED_TRACE(code);
        ExpectRaise(code, [](const std::exception& e) {
            EXPECT_EQ(typeid(e), typeid(EAPDException));
            EXPECT_STREQ(e.what(), "Apro exception");
            EXPECT_EQ(dynamic_cast<const EAPDException&>(e).ErrorCode(), 0);
        });
    }
}

TEST(CheckException, SystemErrorNumbersRaiseInOutErrorsWithTheirText) {
    ExpectRaise(-2, [](const std::exception& e) {
        ASSERT_EQ(typeid(e), typeid(EInOutError));
        EXPECT_EQ(dynamic_cast<const EInOutError&>(e).ErrorCode(), 2);
        EXPECT_STREQ(e.what(), "File not found");
    });
    ExpectRaise(-162, [](const std::exception& e) { EXPECT_STREQ(e.what(), "General failure"); });
    // 31 is not in the table: the system's own text, its line break turned into one trailing blank.
    ExpectRaise(-31, [](const std::exception& e) {
        ASSERT_EQ(typeid(e), typeid(EInOutError));
        EXPECT_EQ(dynamic_cast<const EInOutError&>(e).ErrorCode(), 31);
        const std::string text = e.what();
        EXPECT_EQ(text, std::string(std::strerror(31)) + " ");
        ASSERT_GE(text.size(), 2u);
        EXPECT_NE(text[text.size() - 2], ' ');
    });
    ExpectRaise(-8, [](const std::exception& e) { EXPECT_EQ(typeid(e), typeid(EOutOfMemory)); });
}

TEST(CheckException, ReturnsSuccessAndAnyCodeWhileLoading) {
    for (int code : {0, 1, 5, 1167})
        EXPECT_EQ(CheckException(nullptr, code), code);
    TApdComPort loading;
    loading.BeginLoading();
    for (int code : {-2008, -31, -1001})
        EXPECT_EQ(CheckException(&loading, code), code);
    loading.Loaded();
    EXPECT_THROW(CheckException(&loading, -2008), EAlreadyOpen);
}

TEST(XlatException, GivesTheCodeEachExceptionStandsFor) {
    EXPECT_EQ(XlatException(EAlreadyOpen()), -2008);
    EXPECT_EQ(XlatException(EAPDException("x")), 0);
    EXPECT_EQ(XlatException(EInOutError("x", 31)), -31);
    EXPECT_EQ(XlatException(EOutOfMemory()), -8);
    EXPECT_EQ(XlatException(std::runtime_error("x")), -9999);
}

TEST(ErrorTexts, LookUpTheTableThenTheSystem) {
    EXPECT_EQ(AproLoadStr(-2001), "ie_BadId - Specified comport doesn't exist");
    EXPECT_EQ(AproLoadStr(2001), AproLoadStr(-2001));
    EXPECT_EQ(ErrorMsg(-3007), "Buffer is empty");
    EXPECT_EQ(AproLoadStr(0), "OK");
    EXPECT_EQ(AproLoadStr(-1001), "Bad handle passed to com function"); // in the table, just never raised
    EXPECT_EQ(AproLoadStr(-13), std::string(std::strerror(13)) + " ");
    EXPECT_EQ(AproLoadStr(-1167), ""); // neither table nor system knows it

    AproZBuffer z;
    z.fill('x');
    EXPECT_STREQ(AproLoadZ(z, -2011), "The ComNumber property of the TApdComPort has not been set");
    EXPECT_STREQ(AproLoadZ(z, -1167), "");
}

TEST(ErrorTexts, SystemMessagesLoseTheirLineBreaksAndDoubleBlanks) {
    EXPECT_EQ(vexa::serial::CleanSystemMessage("Access is denied.\r\n"), "Access is denied. ");
    EXPECT_EQ(vexa::serial::CleanSystemMessage("a\t\t b\r\n\r\n"), "a b ");
    EXPECT_EQ(vexa::serial::CleanSystemMessage("   "), " ");
}

// --- String tables ------------------------------------------------------------------------------

std::vector<std::uint8_t> Table(std::vector<std::pair<std::uint32_t, std::u16string>> entries) {
    std::vector<std::uint8_t> out{'S', 'T', 'R', '0'};
    auto put = [&](std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    };
    put(static_cast<std::uint32_t>(entries.size()));
    std::uint32_t offset = static_cast<std::uint32_t>(8 + 12 * entries.size());
    for (auto& [id, text] : entries) {
        put(id);
        put(offset);
        put(static_cast<std::uint32_t>(text.size()));
        offset += static_cast<std::uint32_t>(2 * text.size());
    }
    for (auto& entry : entries)
        for (char16_t u : entry.second) {
            out.push_back(static_cast<std::uint8_t>(u));
            out.push_back(static_cast<std::uint8_t>(u >> 8));
        }
    return out;
}

TEST(StringResource, TheBuiltInTableHasTheStr0LayoutSortedById) {
    const auto bytes = vexa::serial::FindEmbeddedResource("APRO_ERROR_STRINGS_ENGLISH");
    ASSERT_TRUE(bytes);
    ASSERT_GE(bytes->size(), 8u);
    EXPECT_EQ(std::memcmp(bytes->data(), "STR0", 4), 0);
    TAdStringResource table("APRO_ERROR_STRINGS_ENGLISH");
    // 0, 2-6, 8, 15, 18, 100-105, 150-162, 1001-1009, 2001-2013, 3001-3010, 5002-5003
    EXPECT_EQ(table.Count(), 1u + 5 + 1 + 1 + 1 + 6 + 13 + 9 + 13 + 10 + 2);
    EXPECT_EQ(table.GetString(2008), "ie_Open - device already open");

    TAdStringResource loader("ADSRMGR_STRINGS");
    EXPECT_EQ(loader.Count(), 5u);
    EXPECT_EQ(loader.GetString(5), "Invalid TPString resource");
}

TEST(StringResource, CutsTextsToTheBufferByWholeCharacters) {
    const auto bytes = Table({{1, u"abc"}, {7, u"\u00e9t\u00e9"}, {9, u""}});
    TAdStringResource table("T", bytes);
    EXPECT_EQ(table.GetString(7), "\xC3\xA9t\xC3\xA9");
    EXPECT_EQ(table.GetString(2), "");

    char narrow[4];
    EXPECT_STREQ(table.GetAsciiZ(1, narrow, sizeof narrow), "abc");
    EXPECT_STREQ(table.GetAsciiZ(7, narrow, sizeof narrow), "\xC3\xA9t"); // the second é no longer fits
    EXPECT_STREQ(table.GetAsciiZ(7, narrow, 2), "");                      // half an é is not written

    char16_t wide[3];
    EXPECT_EQ(std::u16string(table.GetWideChar(1, wide, 3)), u"ab");
    EXPECT_EQ(std::u16string(table.GetWideChar(8, wide, 3)), u"");
}

TEST(StringResource, ADamagedTableRaisesTheLoadersMessages) {
    auto expectError = [](const std::function<void()>& open, const std::string& message) {
        try {
            open();
            ADD_FAILURE() << "no error for " << message;
        } catch (const ETpsStringResourceError& e) {
            EXPECT_EQ(e.Message(), message);
        }
    };
    auto good = Table({{1, u"one"}, {2, u"two"}});
    auto badMagic = good;
    badMagic[3] = '1';
    auto truncated = good;
    truncated.resize(truncated.size() - 1); // the last text runs past the end
    auto unsorted = Table({{2, u"two"}, {1, u"one"}});
    auto tooManyEntries = good;
    tooManyEntries[4] = 200;

    expectError([&] { TAdStringResource("T", badMagic); }, "Invalid TPString resource");
    expectError([&] { TAdStringResource("T", truncated); }, "Invalid TPString resource");
    expectError([&] { TAdStringResource("T", unsorted); }, "Invalid TPString resource");
    expectError([&] { TAdStringResource("T", tooManyEntries); }, "Invalid TPString resource");
    expectError([&] { TAdStringResource("T", std::span<const std::uint8_t>(good.data(), 6)); },
                "Invalid TPString resource");
    expectError([&] { TAdStringResource("EMPTY", std::span<const std::uint8_t>()); },
                "Unable to open string resource: EMPTY");
    expectError([&] { TAdStringResource("NO_SUCH_TABLE"); }, "String resource not found: NO_SUCH_TABLE");
    EXPECT_NO_THROW(TAdStringResource("T", good));
}

} // namespace
