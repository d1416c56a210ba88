// Ids of the test-only dialog templates of the layer's tests.
#pragma once

#define IDC_PAGE_EDIT 101
#define IDC_MODAL_EDIT 201
