// SPDX-License-Identifier: GPL-3.0-or-later
#include "registry/GreekCollation.h"

#include <unicode/coll.h>
#include <unicode/locid.h>
#include <unicode/unistr.h>

#include <stdexcept>
#include <string>

namespace skartina {

struct GreekCollation::Impl {
    std::unique_ptr<icu::Collator> collator;
    std::unique_ptr<icu::Collator> letters;  // primary strength: base letters only
};

GreekCollation::GreekCollation() : impl_(std::make_unique<Impl>()) {
    auto& collator_ = impl_->collator;
    UErrorCode status = U_ZERO_ERROR;
    collator_.reset(icu::Collator::createInstance(icu::Locale("el"), status));
    if (U_FAILURE(status) || !collator_)
        throw std::runtime_error(std::string("Δεν είναι διαθέσιμη η ελληνική ταξινόμηση (ICU): ") + u_errorName(status));
    // Secondary strength: letters and accents count, case does not.
    collator_->setStrength(icu::Collator::SECONDARY);
    impl_->letters.reset(collator_->clone());
    if (!impl_->letters) throw std::runtime_error("Δεν είναι διαθέσιμη η ελληνική ταξινόμηση (ICU)");
    impl_->letters->setStrength(icu::Collator::PRIMARY);
}

GreekCollation::~GreekCollation() = default;

int GreekCollation::compare(std::string_view a, std::string_view b) const {
    UErrorCode status = U_ZERO_ERROR;
    const UCollationResult result =
        impl_->collator->compareUTF8(icu::StringPiece(a.data(), static_cast<int32_t>(a.size())),
                               icu::StringPiece(b.data(), static_cast<int32_t>(b.size())), status);
    if (U_FAILURE(status)) return a.compare(b);  // malformed text: order it by its bytes
    return result;
}

std::string GreekCollation::sortKey(std::string_view text) const {
    const icu::UnicodeString unicode =
        icu::UnicodeString::fromUTF8(icu::StringPiece(text.data(), static_cast<int32_t>(text.size())));
    std::string key(64, '\0');
    int32_t length = impl_->collator->getSortKey(unicode, reinterpret_cast<uint8_t*>(key.data()),
                                                 static_cast<int32_t>(key.size()));
    if (length > static_cast<int32_t>(key.size())) {
        key.resize(static_cast<size_t>(length));
        length = impl_->collator->getSortKey(unicode, reinterpret_cast<uint8_t*>(key.data()), length);
    }
    key.resize(static_cast<size_t>(length));
    return key;
}

bool GreekCollation::startsWith(std::string_view text, std::string_view prefix) const {
    const icu::UnicodeString whole =
        icu::UnicodeString::fromUTF8(icu::StringPiece(text.data(), static_cast<int32_t>(text.size())));
    const icu::UnicodeString start =
        icu::UnicodeString::fromUTF8(icu::StringPiece(prefix.data(), static_cast<int32_t>(prefix.size())));
    const int32_t characters = start.countChar32();
    if (whole.countChar32() < characters) return false;
    const icu::UnicodeString head(whole, 0, whole.moveIndex32(0, characters));
    UErrorCode status = U_ZERO_ERROR;
    const UCollationResult result = impl_->letters->compare(head, start, status);
    return U_SUCCESS(status) && result == UCOL_EQUAL;
}

const GreekCollation& GreekCollation::instance() {
    static const GreekCollation collation;
    return collation;
}

}  // namespace skartina
