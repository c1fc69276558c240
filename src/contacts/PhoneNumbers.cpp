// Parsing, keys and display of telephone numbers through libphonenumber.
#include "contacts/PhoneNumbers.h"

#include <QLocale>
#include <phonenumbers/geocoding/phonenumber_offline_geocoder.h>
#include <phonenumbers/phonenumberutil.h>
#include <unicode/locid.h>

using i18n::phonenumbers::PhoneNumber;
using i18n::phonenumbers::PhoneNumberOfflineGeocoder;
using i18n::phonenumbers::PhoneNumberUtil;

struct PhoneNumbers::Geocoder {
    PhoneNumberOfflineGeocoder geocoder;
};

namespace {

QString digitsOf(const QString& text) {
    QString digits;
    for (const QChar c : text)
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
            digits.append(c);
    return digits;
}

bool parse(const QString& text, const std::string& region, PhoneNumber& number) {
    const PhoneNumberUtil* util = PhoneNumberUtil::GetInstance();
    return util->Parse(text.toStdString(), region, &number) == PhoneNumberUtil::NO_PARSING_ERROR &&
           number.country_code() > 0;
}

} // namespace

bool NumberKey::sameLine(const NumberKey& other) const {
    if (empty() || other.empty())
        return false;
    if (key == other.key)
        return true;
    if (!parsed || !other.parsed || tailKey != other.tailKey)
        return false;
    const QString& longer =
        nationalNumber.size() >= other.nationalNumber.size() ? nationalNumber : other.nationalNumber;
    const QString& shorter = &longer == &nationalNumber ? other.nationalNumber : nationalNumber;
    return shorter.size() >= kTailDigits && longer.endsWith(shorter);
}

PhoneNumbers::PhoneNumbers(const QString& homeCountry)
    : m_homeCountry(knownCountry(homeCountry) ? homeCountry.toUpper() : systemCountry()),
      m_region(m_homeCountry.toStdString()) {}

PhoneNumbers::~PhoneNumbers() = default;

QString PhoneNumbers::systemCountry() {
    const QString code = QLocale::territoryToCode(QLocale::system().territory());
    return knownCountry(code) ? code.toUpper() : QStringLiteral("US");
}

bool PhoneNumbers::knownCountry(const QString& region) {
    if (region.size() != 2)
        return false;
    return PhoneNumberUtil::GetInstance()->GetCountryCodeForRegion(region.toUpper().toStdString()) > 0;
}

NumberKey PhoneNumbers::keyOf(const QString& text) const {
    NumberKey key;
    PhoneNumber number;
    if (parse(text, m_region, number)) {
        std::string national;
        PhoneNumberUtil::GetInstance()->GetNationalSignificantNumber(number, &national);
        key.nationalNumber = QString::fromStdString(national);
        if (!key.nationalNumber.isEmpty()) {
            const QString country = QString::number(number.country_code());
            key.parsed = true;
            key.key = QLatin1Char('+') + country + QLatin1Char(' ') + key.nationalNumber;
            key.tailKey =
                QLatin1Char('+') + country + QLatin1Char(' ') + key.nationalNumber.right(NumberKey::kTailDigits);
            return key;
        }
    }
    const QString digits = digitsOf(text);
    if (!digits.isEmpty())
        key.key = QLatin1Char('?') + digits;
    return key;
}

QString PhoneNumbers::display(const QString& text) const {
    const PhoneNumberUtil* util = PhoneNumberUtil::GetInstance();
    PhoneNumber number;
    if (!parse(text, m_region, number))
        return text;
    std::string region;
    util->GetRegionCodeForNumber(number, &region);
    const bool home =
        region.empty() || region == m_region || number.country_code() == util->GetCountryCodeForRegion(m_region);
    std::string formatted;
    util->Format(number, home ? PhoneNumberUtil::NATIONAL : PhoneNumberUtil::INTERNATIONAL, &formatted);
    QString shown = QString::fromStdString(formatted);
    QString place;
    const PhoneNumberUtil::PhoneNumberType type = util->GetNumberType(number);
    if (type == PhoneNumberUtil::MOBILE) {
        place = QStringLiteral("mobile");
    } else {
        if (!m_geocoder)
            m_geocoder = std::make_unique<Geocoder>();
        place = QString::fromStdString(m_geocoder->geocoder.GetDescriptionForNumber(number, icu::Locale("en")));
    }
    if (!place.isEmpty())
        shown += QStringLiteral(" (") + place + QLatin1Char(')');
    return shown;
}
