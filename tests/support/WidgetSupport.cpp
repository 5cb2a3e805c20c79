// Anchors the widget-level doubles; they are header-only.
