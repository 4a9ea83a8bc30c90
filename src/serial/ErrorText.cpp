// Texts of the error codes: the built-in table first, then the operating system's message.
#include "serial/ErrorText.h"

#include "serial/Exceptions.h"
#include "serial/StringResource.h"

namespace vexa::serial {

const TAdStringResource& ErrorStrings() {
    static const TAdStringResource table("APRO_ERROR_STRINGS_ENGLISH");
    return table;
}

std::string CleanSystemMessage(std::string text) {
    for (char& c : text)
        if (static_cast<unsigned char>(c) < 32) c = ' ';
    for (auto at = text.find("  "); at != std::string::npos; at = text.find("  "))
        text.erase(at, 1);
    return text;
}

} // namespace vexa::serial

std::string AproLoadStr(int code) {
    const auto id = static_cast<std::uint32_t>(EAPDException::MapCodeToStringID(code));
    std::string text = vexa::serial::ErrorStrings().GetString(id);
    if (text.empty())
        text = vexa::serial::CleanSystemMessage(vexa::serial::SystemErrorText(static_cast<int>(id)));
    return vexa::serial::TruncateUtf8(std::move(text), 255);
}

std::string ErrorMsg(int code) {
    return AproLoadStr(code);
}

char* AproLoadZ(AproZBuffer& buffer, int code) {
    const auto id = static_cast<std::uint32_t>(EAPDException::MapCodeToStringID(code));
    return vexa::serial::ErrorStrings().GetAsciiZ(id, buffer.data(), buffer.size());
}
