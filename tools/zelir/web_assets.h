// The view page's files, compiled into the tool at build time (see embed_web_assets.cmake).
#pragma once

#include <cstddef>
#include <span>
#include <string_view>

namespace zelir_cli {

struct WebAsset {
    const char* path;  // "/index.html", "/view.js", ...
    const unsigned char* data;
    size_t size;
};

std::span<const WebAsset> WebAssets();

// The asset served at `path` ("/" is the page itself), or null: nothing else is ever served.
const WebAsset* FindWebAsset(std::string_view path);

// Content type from the file name's extension.
const char* WebAssetType(std::string_view path);

}  // namespace zelir_cli
