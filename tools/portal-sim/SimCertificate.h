// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A certificate made at start for 127.0.0.1: the simulated portal speaks
// HTTPS like the real one, and the browser is told to accept it.

#include <openssl/evp.h>
#include <openssl/x509.h>

#include <memory>

namespace skartina::sim {

struct Certificate {
    std::unique_ptr<X509, decltype(&X509_free)> cert{nullptr, X509_free};
    std::unique_ptr<EVP_PKEY, decltype(&EVP_PKEY_free)> key{nullptr, EVP_PKEY_free};
};

// Throws std::runtime_error when OpenSSL fails.
Certificate MakeLoopbackCertificate();

}  // namespace skartina::sim
