#include "SiteAssets.h"

namespace vorlen::ladder {

std::string_view siteStyle()
{
    return R"(nav { margin-bottom: 8px; } nav a { margin-right: 12px; }
nav .who { float: right; } form.inline { display: inline; }
body.ladder table { margin-bottom: 12px; }
#standings-note { white-space: pre-line; }
.error { color: #b00000; font-weight: bold; }
svg.ratings { background: #fff; border: 1px solid #ccc; }
)";
}

std::string_view siteScript()
{
    return R"('use strict';
(function () {
  const live = document.getElementById('live');
  if (!live) return;
  async function refresh() {
    if (document.hidden) return;
    try {
      const answer = await fetch(location.href, { credentials: 'same-origin', cache: 'no-store' });
      if (!answer.ok) return;
      const page = new DOMParser().parseFromString(await answer.text(), 'text/html');
      const fresh = page.getElementById('live');
      if (fresh && fresh.innerHTML !== live.innerHTML) live.innerHTML = fresh.innerHTML;
    } catch (e) { /* the next try */ }
  }
  setInterval(refresh, 3000);
})();
)";
}

} // namespace vorlen::ladder
