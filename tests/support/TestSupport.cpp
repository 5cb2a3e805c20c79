// Anchors the support library; its doubles are header-only.
