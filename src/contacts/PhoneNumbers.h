// Telephone numbers as people mean them: parsed against the home country, compared and shown.
#pragma once

#include <QString>
#include <memory>

/// What a number is, for matching: numbers with the same `key` are the same line; a number written
/// without its area code matches a longer one of the same country that ends in it (`tailKey`).
struct NumberKey {
    QString key; ///< "+<country code> <national significant number>", or "?<digits>" when unparsed; empty: no number
    QString tailKey; ///< the country code and the last kTailDigits digits
    QString nationalNumber;
    bool parsed = false;

    static constexpr int kTailDigits = 7;
    bool empty() const { return key.isEmpty(); }
    /// One of the two is the other written without its area code.
    bool sameLine(const NumberKey& other) const;
};

/// Uses libphonenumber and its offline place data; `homeCountry` is a two-letter region code ("US",
/// "DE"), the country of numbers written without a country code.
class PhoneNumbers {
public:
    explicit PhoneNumbers(const QString& homeCountry);
    ~PhoneNumbers();
    PhoneNumbers(const PhoneNumbers&) = delete;
    PhoneNumbers& operator=(const PhoneNumbers&) = delete;

    /// The region of the system locale, else "US".
    static QString systemCountry();
    /// Whether libphonenumber knows `region` (two letters, any case).
    static bool knownCountry(const QString& region);

    const QString& homeCountry() const { return m_homeCountry; }
    NumberKey keyOf(const QString& number) const;
    /// The number in the national format (international for another country's), followed by the
    /// place or "mobile" in parentheses where the offline data knows it; `number` itself when it does
    /// not parse.
    QString display(const QString& number) const;

private:
    struct Geocoder;
    QString m_homeCountry;
    std::string m_region;
    mutable std::unique_ptr<Geocoder> m_geocoder; // created on the first display
};
