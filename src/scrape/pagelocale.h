#pragma once

#include "query/tfhpple.h"

#include <QString>

// The language and region a page's prices and dates are written for, as "fr_CA", "en" or "_CA":
// the root element's lang attribute, and where that names no region, the country of the
// address's top-level domain. Empty when neither says.
namespace PageLocale {

QString of(const TFHpple &document, const QString &url);

} // namespace PageLocale
