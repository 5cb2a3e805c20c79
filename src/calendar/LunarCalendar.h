#pragma once

#include <QDate>
#include <QString>

/// A holiday's month-day key: the month and then the day, two digits each ("0501" is 1 May,
/// or the first day of the fifth lunar month for a lunar holiday).
using HolidayKey = QString;

/// The numbers of a lunar date. Outside the table (see LunarTableFirstDay() and
/// LunarTableLastDay()) every field is zero or false.
struct LunarNumbers
{
    int nYear = 0;      ///< named by the Gregorian year of its first day; 0 outside the table
    int nMonth = 0;     ///< 1 to 12; a leap month carries the number of the month it follows
    bool bLeap = false; ///< the month is the year's leap month
    int nDay = 0;       ///< 1 to 30

    bool isValid() const { return nYear != 0; }
    friend bool operator==(const LunarNumbers&, const LunarNumbers&) = default;
};

/// A lunar date with the texts the day view shows and the key its lunar holidays are found by.
/// Outside the table the numbers are zero or false and both texts are empty.
struct LunarDate
{
    int nYear = 0;
    int nMonth = 0;
    bool bLeap = false;
    int nDay = 0;
    QString strText; ///< for example "猪(丁亥)年十一月廿三", or "鼠(庚子)年闰四月初一" in a leap month
    HolidayKey strKey; ///< lunar month and day; a leap month shares the key of its regular month

    bool isValid() const { return nYear != 0; }
};

/// The lunar date of a Gregorian date; the numbers only, without building any text.
LunarNumbers SolarToLunarNumbers(QDate date);

/// The lunar date of a Gregorian date, with its display text and holiday key.
LunarDate SolarToLunar(QDate date);

/// The same for a year, month (1 to 12) and day (1 to 31); an impossible date such as
/// 30 February lies outside the table.
LunarDate SolarToLunar(int nYear, int nMonth, int nDay);

/// The first Gregorian date that has a lunar date (the first day of the first lunar year).
QDate LunarTableFirstDay();

/// The last Gregorian date that has a lunar date (the last day of the last lunar year).
QDate LunarTableLastDay();
