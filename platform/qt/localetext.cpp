#include "platform/localetext.h"

#include <QDateTime>
#include <QLocale>
#include <QRegularExpression>
#include <ctime>

namespace platform {

namespace {
QLocale LocaleFor(const std::string& name) {
    return name.empty() ? QLocale::system() : QLocale(QString::fromStdString(name));
}

// Drops the time-zone fields ("t" runs) and the blanks or separators they leave behind.
QString WithoutZone(QString format) {
    static const QRegularExpression zone(QStringLiteral("\\s*\\(?t+\\)?"));
    format.remove(zone);
    return format.trimmed();
}
}  // namespace

ClockTime LocalNow() {
    std::time_t now = std::time(nullptr);
    std::tm tm{};
    localtime_r(&now, &tm);
    return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

std::string LongTimeText(const ClockTime& t, const std::string& locale) {
    QLocale l = LocaleFor(locale);
    QString format = WithoutZone(l.timeFormat(QLocale::LongFormat));
    return l.toString(QTime(t.hour, t.minute, t.second), format).toStdString();
}

std::string ShortDateText(const ClockTime& t, const std::string& locale) {
    QLocale l = LocaleFor(locale);
    QString format = l.dateFormat(QLocale::ShortFormat);
    // Month or day names make it a text date: fall back to the numeric ISO form.
    if (l.language() == QLocale::C || format.contains(QLatin1String("MMM")) ||
        format.contains(QLatin1String("ddd")))
        format = QStringLiteral("yyyy-MM-dd");
    return l.toString(QDate(t.year, t.month, t.day), format).toStdString();
}

}  // namespace platform
