// The interface language: the choice at start, the translator, and texts that follow a switch.
#include "app/Language.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTranslator>
#include <QWidget>

namespace {

const QString kEnglishCatalogue = QStringLiteral(":/i18n/vexaview_en.qm");

std::unique_ptr<QTranslator> LoadEnglish() {
    auto translator = std::make_unique<QTranslator>();
    // The catalogue is built from the repository's translation file and linked in; without it the
    // build itself is broken, so say so rather than start in a language nobody asked for.
    if (!translator->load(kEnglishCatalogue))
        qFatal("The English translation %s is missing from the program", qPrintable(kEnglishCatalogue));
    return translator;
}

class LanguageChangeFilter : public QObject {
  public:
    LanguageChangeFilter(QWidget& window, std::function<void()> retranslate)
        : QObject(&window), retranslate_(std::move(retranslate)) {
        window.installEventFilter(this);
    }
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::LanguageChange && watched == parent()) retranslate_();
        return false;
    }

  private:
    std::function<void()> retranslate_;
};

} // namespace

std::optional<UiLanguage> LanguageOfCode(const QString& code) {
    if (code == QStringLiteral("ja")) return UiLanguage::Japanese;
    if (code == QStringLiteral("en")) return UiLanguage::English;
    return std::nullopt;
}

QString CodeOfLanguage(UiLanguage language) {
    return language == UiLanguage::English ? QStringLiteral("en") : QStringLiteral("ja");
}

UiLanguage StartupLanguage(const QString& commandLineCode, const QString& rememberedCode) {
    if (const auto chosen = LanguageOfCode(commandLineCode)) return *chosen;
    if (const auto remembered = LanguageOfCode(rememberedCode)) return *remembered;
    return UiLanguage::Japanese;
}

const QTranslator& EnglishTranslation() {
    static const std::unique_ptr<QTranslator> english = LoadEnglish();
    return *english;
}

LanguageSwitch::LanguageSwitch() = default;

LanguageSwitch::~LanguageSwitch() {
    if (english_) QCoreApplication::removeTranslator(english_.get());
}

void LanguageSwitch::Apply(UiLanguage language) {
    if (language == current_) return;
    current_ = language;
    if (language == UiLanguage::English) {
        english_ = LoadEnglish();
        QCoreApplication::installTranslator(english_.get());
    } else {
        // Japanese is the source: no translator at all.
        QCoreApplication::removeTranslator(english_.get());
        english_.reset();
    }
}

std::optional<SourceText> SourceOf(const QString& shown, std::initializer_list<SourceText> sources) {
    for (const SourceText& s : sources) {
        const QString japanese = QString::fromUtf8(s.text);
        QString english = EnglishTranslation().translate(s.context, s.text, s.disambiguation);
        if (english.isEmpty()) english = japanese;
        if (shown == japanese || shown == english) return s;
    }
    return std::nullopt;
}

QString Retranslated(const QString& shown, std::initializer_list<SourceText> sources) {
    const std::optional<SourceText> s = SourceOf(shown, sources);
    return s ? QCoreApplication::translate(s->context, s->text, s->disambiguation) : shown;
}

void OnLanguageChange(QWidget& window, std::function<void()> retranslate) {
    new LanguageChangeFilter(window, std::move(retranslate));
}
