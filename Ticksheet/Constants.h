#pragma once

#include <QString>

// Settings keys, notification names and other texts the program shares with its plug-ins.

// Settings keys (the exported constant names; the values are the stored keys).
inline const QString TwentyFourHour = QStringLiteral("TwentyFourHour");
inline const QString EuroDates = QStringLiteral("EuroDates");
inline const QString RemitAddress = QStringLiteral("RemitAddress");
inline const QString CompanyLogoPath = QStringLiteral("LogoPath");
inline const QString KeepBackupFile = QStringLiteral("KeepBackupFile");
inline const QString TaxRate = QStringLiteral("TaxRate");
inline const QString TaxableByDefault = QStringLiteral("TaxableByDefault");
inline const QString Rate = QStringLiteral("PayRate");
inline const QString EquityPercent = QStringLiteral("EquityPercent");
inline const QString ShareCost = QStringLiteral("ShareCost");
inline const QString ResumeAction = QStringLiteral("ResumeAction");
inline const QString Mailer = QStringLiteral("Mailer");
inline const QString ExpenseDescriptions = QStringLiteral("ExpenseDescriptions");
inline const QString JobDescriptions = QStringLiteral("JobDescriptions");
inline const QString AutoCheckForUpdates = QStringLiteral("AutoCheckForUpdates");
inline const QString OpenOnLaunch = QStringLiteral("OpenTheseOnLaunch");
inline const QString ReportFontSize = QStringLiteral("ReportFontSize");
inline const QString ReportFont = QStringLiteral("ReportFontName");
inline const QString IgnoreMoney = QStringLiteral("IgnoreMoney");
inline const QString TaxGrossIncome = QStringLiteral("TaxGrossIncome");
inline const QString CurrencySymbol = QStringLiteral("CurrencySymbol");
inline const QString DecimalSeparator = QStringLiteral("DecimalSeparator");
inline const QString ThousandsSeparator = QStringLiteral("ThousandsSeparator");
inline const QString CurrencySymbolAfter = QStringLiteral("CurrencySymbolAfter");
inline const QString InvoiceNumber = QStringLiteral("NextInvoiceNumber");
// Where the update check fetches the list of newest versions.
inline const QString VersionListURL = QStringLiteral("VersionListURL");

// Keys without a registered default.
inline const QString LogMailApplescript = QStringLiteral("LogMailApplescript");
inline const QString PreferencesTabView = QStringLiteral("PreferencesTabView");
// Documents are written as XML property lists when on, as ASCII ones otherwise.
inline const QString WriteXMLFormat = QStringLiteral("WriteXMLFormat");

// Notifications.
inline const QString InvoiceNumberUpdatedNotification = QStringLiteral("InvoiceNumberUpdatedNotification");
inline const QString MoneyFormatChangedNotification = QStringLiteral("MoneyFormatChangedNotification");
inline const QString TaxChangedNotification = QStringLiteral("TaxChangedNotification");
// A file was written; the object is its path.
inline const QString FileSystemChangedNotification = QStringLiteral("FileSystemChangedNotification");

// Description lists and their tables.
inline const QString DESCRIPTION_KEY = QStringLiteral("Description");
inline const QString RATE_KEY = QStringLiteral("Rate");
inline const QString DRAG_KEY = QStringLiteral("Drag");

// Date and time formats.
inline const QString DATE_FORMAT = QStringLiteral("%m/%e/%Y");
inline const QString DATE_FORMAT_EURO = QStringLiteral("%e.%m.%Y");
inline const QString HOUR_FORMAT = QStringLiteral("%I:%M %p");
inline const QString HOUR_FORMAT_EURO = QStringLiteral("%H:%M");

// Client documents.
inline const QString DocumentType = QStringLiteral("Velmor Design Tallywick Format");
inline const QString TWKFileType = QStringLiteral("tickSheet");
