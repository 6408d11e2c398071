// SPDX-License-Identifier: GPL-3.0-or-later
#include "i18n/ui/qttranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace wf {

bool useQtTranslations(Language language)
{
    // Loaded once, on the first switch to Chinese, and kept with the application.
    static QTranslator *chinese = nullptr;
    if (chinese)
        QCoreApplication::removeTranslator(chinese);
    if (language == Language::English)
        return true;
    if (!chinese) {
        auto *translator = new QTranslator(QCoreApplication::instance());
        if (!translator->load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qtbase"),
                              QStringLiteral("_"),
                              QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
            delete translator;
            return false;
        }
        chinese = translator;
    }
    QCoreApplication::installTranslator(chinese);
    return true;
}

} // namespace wf
