#include "editor/KeyManager.h"

#include <algorithm>

void TKeyManager::Define(TKeyDefinition key, THandler handler) {
    auto at = std::lower_bound(m_Entries.begin(), m_Entries.end(), key,
                               [](const TEntry& entry, TKeyDefinition k) { return entry.Key < k; });
    if (at != m_Entries.end() && at->Key == key) at = m_Entries.erase(at);
    if (handler) m_Entries.insert(at, {key, std::move(handler)});
}

void TKeyManager::SetQuickKey(TKeyDefinition key) {
    if (m_QuickKey != 0) Define(m_QuickKey, nullptr);
    m_QuickKey = key;
    Define(key, [this] { m_QuickPending = true; });
}

const TKeyManager::TEntry* TKeyManager::Find(TKeyDefinition key) const {
    const auto at = std::lower_bound(m_Entries.begin(), m_Entries.end(), key,
                                     [](const TEntry& entry, TKeyDefinition k) { return entry.Key < k; });
    return at != m_Entries.end() && at->Key == key ? &*at : nullptr;
}

const TKeyManager::TEntry* TKeyManager::Lookup(unsigned vk, TKeyDefinition modifiers) const {
    const auto code = static_cast<TKeyDefinition>((vk & 0xFF) | modifiers | (m_QuickPending ? kfQuick : 0));
    if (const TEntry* entry = Find(code)) return entry;
    if (code & (kfShift | kfAlt)) return Find(static_cast<TKeyDefinition>(code & ~(kfShift | kfAlt)));
    return nullptr;
}

bool TKeyManager::Bound(unsigned vk, TKeyDefinition modifiers) const {
    return Lookup(vk, modifiers) != nullptr;
}

bool TKeyManager::Process(unsigned vk, TKeyDefinition modifiers) {
    const TEntry* entry = Lookup(vk, modifiers);
    m_QuickPending = false;
    if (!entry) return false;
    THandler handler = entry->Handler; // the command may rebind keys while it runs
    handler();
    return true;
}
