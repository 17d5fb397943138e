#pragma once

#include "platform/addresspolicy.h"

#include <QList>
#include <QObject>
#include <QStringList>
#include <QUrl>

#include <functional>

// The lookups the address policy needs, made asynchronously on the GUI thread: whether a page
// is itself on a local address, and which of the addresses a public page names lead, by name, to
// local ones. A name that does not resolve here is let through: the fetch fails by itself, or a
// proxy resolves it.
namespace HostVetting {

// Calls done with whether page is on a local address (a literal or every resolved address).
// done runs at once when no lookup is needed; never after context is destroyed.
void locate(const QUrl &page, QObject *context, std::function<void(bool local)> done);

// Calls done with the addresses among urls (texts as found, resolved) that a page of reach may
// not fetch once their names are looked up. Only names are looked up, each once; literal and
// malformed addresses are for AddressPolicy::check(). done runs at once when no lookup is needed;
// never after context is destroyed.
void vet(const QStringList &urls, AddressPolicy::Reach reach, QObject *context,
         std::function<void(const QList<AddressPolicy::Refusal> &refused)> done);

} // namespace HostVetting
