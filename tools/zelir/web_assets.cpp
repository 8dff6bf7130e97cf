#include "web_assets.h"

namespace zelir_cli {

const WebAsset* FindWebAsset(std::string_view path) {
    if (path == "/") path = "/index.html";
    for (const WebAsset& asset : WebAssets()) {
        if (path == asset.path) return &asset;
    }
    return nullptr;
}

const char* WebAssetType(std::string_view path) {
    if (path.ends_with(".html")) return "text/html; charset=utf-8";
    if (path.ends_with(".css")) return "text/css; charset=utf-8";
    if (path.ends_with(".js")) return "text/javascript; charset=utf-8";
    return "application/octet-stream";
}

}  // namespace zelir_cli
