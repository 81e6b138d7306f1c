// Reading inboxes as they grow: a watcher that keeps a cursor per player and compares the count of
// messages delivered pays for what arrived, never for the whole inbox again.
#include <stdexcept>
#include <string>

#include "standin/game/GameControl.h"
#include "standin/game/WorldState.h"

namespace standin::game {

namespace {

// The part of list from index on, and index moved to its end.
template <typename Message>
std::vector<Message> From(const std::vector<Message>& list, std::size_t& index)
{
    const std::size_t start = index < list.size() ? index : list.size();
    index = list.size();
    return std::vector<Message>(list.begin() + static_cast<std::ptrdiff_t>(start), list.end());
}

} // namespace

Inbox InboxSince(PlayerId player, InboxCursor& cursor)
{
    const auto found = State().players.find(static_cast<std::uint32_t>(player));
    if (found == State().players.end()) {
        throw std::invalid_argument("no player with id " + std::to_string(static_cast<std::uint32_t>(player)));
    }
    const Inbox& inbox = found->second.inbox;
    Inbox since;
    since.order = From(inbox.order, cursor.message);
    since.directChats = From(inbox.directChats, cursor.directChat);
    since.notifications = From(inbox.notifications, cursor.notification);
    since.chatRecords = From(inbox.chatRecords, cursor.chatRecord);
    return since;
}

std::uint64_t MessagesDelivered() { return State().messagesDelivered; }

} // namespace standin::game
