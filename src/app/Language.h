// The interface language: Japanese, the texts as the windows are written and the default, or English,
// a translation the program carries. Chosen for one run on the command line or for good in the window.
#pragma once

#include <QString>
#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>

class QTranslator;
class QWidget;
class ToolSettings;

enum class UiLanguage { Japanese, English };

// "ja" and "en"; nothing for any other text.
std::optional<UiLanguage> LanguageOfCode(const QString& code);
QString CodeOfLanguage(UiLanguage language);

// The language a start uses: --lang for this run, else the choice remembered in the settings file, else
// Japanese, whatever the system's locale. A remembered text that names no language counts as no choice.
UiLanguage StartupLanguage(const QString& commandLineCode, const QString& rememberedCode);

// The English translation as the program carries it; loaded once, kept for the process.
const QTranslator& EnglishTranslation();

// Installs the chosen language into the application. Open windows follow through the LanguageChange
// event that installing or removing a translator sends them.
class LanguageSwitch {
  public:
    LanguageSwitch();
    ~LanguageSwitch();
    LanguageSwitch(const LanguageSwitch&) = delete;
    LanguageSwitch& operator=(const LanguageSwitch&) = delete;

    UiLanguage Current() const { return current_; }
    void Apply(UiLanguage language);

  private:
    UiLanguage current_ = UiLanguage::Japanese;
    std::unique_ptr<QTranslator> english_;
};

// A source text with the context and disambiguation it is translated under.
struct SourceText {
    const char* context;
    const char* text;
    const char* disambiguation = nullptr;
};

// The source whose text, in Japanese or in English, is the one shown; nothing for any other text.
std::optional<SourceText> SourceOf(const QString& shown, std::initializer_list<SourceText> sources);

// A text a handler set from one of the sources, shown before a switch in either language, in the current
// language; any other text comes back as it is.
QString Retranslated(const QString& shown, std::initializer_list<SourceText> sources);

// Runs retranslate whenever the window receives a language change (for what it carries besides
// widgets: actions, texts held in the window's state).
void OnLanguageChange(QWidget& window, std::function<void()> retranslate);
