#include "registry/GreekCollation.h"

#include <unicode/coll.h>
#include <unicode/locid.h>

#include <stdexcept>
#include <string>

namespace skartina {

struct GreekCollation::Impl {
    std::unique_ptr<icu::Collator> collator;
};

GreekCollation::GreekCollation() : impl_(std::make_unique<Impl>()) {
    auto& collator_ = impl_->collator;
    UErrorCode status = U_ZERO_ERROR;
    collator_.reset(icu::Collator::createInstance(icu::Locale("el"), status));
    if (U_FAILURE(status) || !collator_)
        throw std::runtime_error(std::string("Δεν είναι διαθέσιμη η ελληνική ταξινόμηση (ICU): ") + u_errorName(status));
    // Secondary strength: letters and accents count, case does not.
    collator_->setStrength(icu::Collator::SECONDARY);
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

const GreekCollation& GreekCollation::instance() {
    static const GreekCollation collation;
    return collation;
}

}  // namespace skartina
