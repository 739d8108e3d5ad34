{
	"patcher": {
		"fileversion": 1,
		"appversion": {
			"major": 8,
			"minor": 6,
			"revision": 0,
			"architecture": "x64",
			"modernui": 1
		},
		"classnamespace": "box",
		"rect": [
			100.0,
			100.0,
			800.0,
			836.0
		],
		"description": "the zelk objects",
		"digest": "the zelk objects",
		"tags": "zelk",
		"boxes": [
			{
				"box": {
					"maxclass": "comment",
					"text": "zelk",
					"numinlets": 1,
					"numoutlets": 0,
					"patching_rect": [
						10.0,
						10.0,
						480.0,
						39.0
					],
					"fontsize": 26.0,
					"fontface": 1,
					"id": "obj-1"
				}
			},
			{
				"box": {
					"maxclass": "comment",
					"text": "twenty computer-vision objects for Jitter: open an object's help for a working example",
					"numinlets": 1,
					"numoutlets": 0,
					"patching_rect": [
						10.0,
						52.0,
						700.0,
						19.5
					],
					"fontsize": 13.0,
					"id": "obj-2"
				}
			},
			{
				"box": {
					"maxclass": "comment",
					"text": "Regions and lines",
					"numinlets": 1,
					"numoutlets": 0,
					"patching_rect": [
						10.0,
						96.0,
						400.0,
						21.0
					],
					"fontsize": 14.0,
					"fontface": 1,
					"id": "obj-3"
				}
			},
			{
				"box": {
					"maxclass": "newobj",
					"text": "zelk.label",
					"numinlets": 1,
					"numoutlets": 2,
					"outlettype": [
						"jit_matrix",
						""
					],
					"patching_rect": [
						20.0,
						124.0,
						82.0,
						22.0
					],
					"id": "obj-4"
				}
			},
			{
				"box": {
					"maxclass": "comment",
					"text": "numbers the 4-connected blobs of a binary image",
					"numinlets": 1,
					"numoutlets": 0,
					"patching_rect": [
						200.0,
						124.0,
						560.0,
						20.0
					],
					"id": "obj-5"
				}
			},
			{
				"box": {
					"maxclass": "newobj",
					"text": "zelk.floodfill",
					"numinlets": 1,
					"numoutlets": 2,
					"outlettype": [
						"jit_matrix",
						""
					],
					"patching_rect": [
						20.0,
						152.0,
						110.0,
						22.0
					],
					"id": "obj-6"
				}
			},
			{
				"box": {
					"maxclass": "comment",
					"text": "fills the region of a binary image 4-connected to a seed cell",
					"numinlets": 1,
					"numoutlets": 0,
					"patching_rect": [
						200.0,
						152.0,
						560.0,
						20.0
					],
					"id": "obj-7"
				}
			},
			{
				"box": {
					"maxclass": "newobj",
					"text": "zelk.binedge",
					"numinlets": 1,
					"numoutlets": 2,
					"outlettype": [
						"jit_matrix",
						""
					],
					"patching_rect": [
						20.0,
						180.0,
						96.0,
						22.0
					],
					"id": "obj-8"
				}
			},
			{
				"box": {
					"maxclass": "comment",
					"text": "marks the edge cells of the regions of a binary image",
					"numinlets": 1,
					"numoutlets": 0,
					"patching_rect": [
						200.0,
						180.0,
						560.0,
						20.0
					],
					"id": "obj-9"
				}
			},
			{
				"box": {
					"maxclass": "newobj",
					"text": "zelk.hough",
					"numinlets": 1,
					"numoutlets": 2,
					"outlettype": [
						"jit_matrix",
						""
					],
					"patching_rect": [
						20.0,
						208.0,
						82.0,
						22.0
					],
					"id": "obj-10"
				}
			},
			{
				"box": {
					"maxclass": "comment",
					"text": "votes the straight lines of a binary image into an accumulator",
					"numinlets": 1,
					"numoutlets": 0,
					"patching_rect": [
						200.0,
						208.0,
						560.0,
						20.0
					],
					"id": "obj-11"
				}
			},
			{
				"box": {
					"maxclass": "newobj",
					"text": "zelk.extrema",
					"numinlets": 1,
					"numoutlets": 2,
					"outlettype": [
						"jit_matrix",
						""
					],
					"patching_rect": [
						20.0,
						236.0,
						96.0,
						22.0
					],
					"id": "obj-12"
				}
			},
			{
				"box": {
					"maxclass": "comment",
					"text": "finds the peaks of a Hough accumulator: one (rho bin, theta bin) per line",
					"numinlets": 1,
					"numoutlets": 0,
					"patching_rect": [
						200.0,
						236.0,
						560.0,
						20.0
					],
					"id": "obj-13"
				}
			},
			{
				"box": {
					"maxclass": "comment",
					"text": "Whole-image measures",
					"numinlets": 1,
					"numoutlets": 0,
					"patching_rect": [
						10.0,
						276.0,
						400.0,
						21.0
					],
					"fontsize": 14.0,
					"fontface": 1,
					"id": "obj-14"
				}
			},
			{
				"box": {
					"maxclass": "newobj",
					"text": "zelk.moments",
					"numinlets": 1,
					"numoutlets": 5,
					"outlettype": [
						"list",
						"list",
						"list",
						"float",
						""
					],
					"patching_rect": [
						20.0,
						304.0,
						96.0,
						22.0
					],
					"id": "obj-15"
				}
			},
			{
				"box": {
					"maxclass": "comment",
					"text": "measures the moments and Hu invariants of a one-plane image",
					"numinlets": 1,
					"numoutlets": 0,
					"patching_rect": [
						200.0,
						304.0,
						560.0,
						20.0
					],
					"id": "obj-16"
				}
			},
			{
				"box": {
					"maxclass": "newobj",
					"text": "zelk.centroids",
					"numinlets": 1,
					"numoutlets": 3,
					"outlettype": [
						"list",
						"float",
						""
					],
					"patching_rect": [
						20.0,
						332.0,
						110.0,
						22.0
					],
					"id": "obj-17"
				}
			},
			{
				"box": {
					"maxclass": "comment",
					"text": "finds the mass and weighted centroid of a one-plane image",
					"numinlets": 1,
					"numoutlets": 0,
					"patching_rect": [
						200.0,
						332.0,
						560.0,
						20.0
					],
					"id": "obj-18"
				}
			},
			{
				"box": {
					"maxclass": "newobj",
					"text": "zelk.mass",
					"numinlets": 1,
					"numoutlets": 2,
					"outlettype": [
						"",
						""
					],
					"patching_rect": [
						20.0,
						360.0,
						76.0,
						22.0
					],
					"id": "obj-19"
				}
			},
			{
				"box": {
					"maxclass": "comment",
					"text": "totals the mass of every plane (char cells count value/255)",
					"numinlets": 1,
					"numoutlets": 0,
					"patching_rect": [
						200.0,
						360.0,
						560.0,
						20.0
					],
					"id": "obj-20"
				}
			},
			{
				"box": {
					"maxclass": "newobj",
					"text": "zelk.sum",
					"numinlets": 1,
					"numoutlets": 2,
					"outlettype": [
						"",
						""
					],
					"patching_rect": [
						20.0,
						388.0,
						69.0,
						22.0
					],
					"id": "obj-21"
				}
			},
			{
				"box": {
					"maxclass": "comment",
					"text": "sums every plane of a matrix, one value per plane",
					"numinlets": 1,
					"numoutlets": 0,
					"patching_rect": [
						200.0,
						388.0,
						560.0,
						20.0
					],
					"id": "obj-22"
				}
			},
			{
				"box": {
					"maxclass": "comment",
					"text": "Over time, and points",
					"numinlets": 1,
					"numoutlets": 0,
					"patching_rect": [
						10.0,
						428.0,
						400.0,
						21.0
					],
					"fontsize": 14.0,
					"fontface": 1,
					"id": "obj-23"
				}
			},
			{
				"box": {
					"maxclass": "newobj",
					"text": "zelk.mean",
					"numinlets": 1,
					"numoutlets": 2,
					"outlettype": [
						"jit_matrix",
						""
					],
					"patching_rect": [
						20.0,
						456.0,
						76.0,
						22.0
					],
					"id": "obj-24"
				}
			},
			{
				"box": {
					"maxclass": "comment",
					"text": "running mean of a stream of frames since a reset or new shape",
					"numinlets": 1,
					"numoutlets": 0,
					"patching_rect": [
						200.0,
						456.0,
						560.0,
						20.0
					],
					"id": "obj-25"
				}
			},
			{
				"box": {
					"maxclass": "newobj",
					"text": "zelk.covariance",
					"numinlets": 1,
					"numoutlets": 2,
					"outlettype": [
						"jit_matrix",
						""
					],
					"patching_rect": [
						20.0,
						484.0,
						116.0,
						22.0
					],
					"id": "obj-26"
				}
			},
			{
				"box": {
					"maxclass": "comment",
					"text": "outer product of the running mean deviation of a vector stream",
					"numinlets": 1,
					"numoutlets": 0,
					"patching_rect": [
						200.0,
						484.0,
						560.0,
						20.0
					],
					"id": "obj-27"
				}
			},
			{
				"box": {
					"maxclass": "newobj",
					"text": "zelk.ravg",
					"numinlets": 1,
					"numoutlets": 2,
					"outlettype": [
						"jit_matrix",
						""
					],
					"patching_rect": [
						20.0,
						512.0,
						76.0,
						22.0
					],
					"id": "obj-28"
				}
			},
			{
				"box": {
					"maxclass": "comment",
					"text": "running (exponential) average of a stream of frames",
					"numinlets": 1,
					"numoutlets": 0,
					"patching_rect": [
						200.0,
						512.0,
						560.0,
						20.0
					],
					"id": "obj-29"
				}
			},
			{
				"box": {
					"maxclass": "newobj",
					"text": "zelk.trackpoints",
					"numinlets": 1,
					"numoutlets": 2,
					"outlettype": [
						"jit_matrix",
						""
					],
					"patching_rect": [
						20.0,
						540.0,
						123.0,
						22.0
					],
					"id": "obj-30"
				}
			},
			{
				"box": {
					"maxclass": "comment",
					"text": "draws a list of points into a char image, numbered from 1",
					"numinlets": 1,
					"numoutlets": 0,
					"patching_rect": [
						200.0,
						540.0,
						560.0,
						20.0
					],
					"id": "obj-31"
				}
			},
			{
				"box": {
					"maxclass": "comment",
					"text": "Blobs of a label image",
					"numinlets": 1,
					"numoutlets": 0,
					"patching_rect": [
						10.0,
						580.0,
						400.0,
						21.0
					],
					"fontsize": 14.0,
					"fontface": 1,
					"id": "obj-32"
				}
			},
			{
				"box": {
					"maxclass": "newobj",
					"text": "zelk.blobs.moments",
					"numinlets": 1,
					"numoutlets": 2,
					"outlettype": [
						"jit_matrix",
						""
					],
					"patching_rect": [
						20.0,
						608.0,
						137.0,
						22.0
					],
					"id": "obj-33"
				}
			},
			{
				"box": {
					"maxclass": "comment",
					"text": "measures the moments and Hu invariants of every labelled blob",
					"numinlets": 1,
					"numoutlets": 0,
					"patching_rect": [
						200.0,
						608.0,
						560.0,
						20.0
					],
					"id": "obj-34"
				}
			},
			{
				"box": {
					"maxclass": "newobj",
					"text": "zelk.blobs.centroids",
					"numinlets": 1,
					"numoutlets": 2,
					"outlettype": [
						"jit_matrix",
						""
					],
					"patching_rect": [
						20.0,
						636.0,
						150.0,
						22.0
					],
					"id": "obj-35"
				}
			},
			{
				"box": {
					"maxclass": "comment",
					"text": "finds the centroid and mass of every blob of a label image",
					"numinlets": 1,
					"numoutlets": 0,
					"patching_rect": [
						200.0,
						636.0,
						560.0,
						20.0
					],
					"id": "obj-36"
				}
			},
			{
				"box": {
					"maxclass": "newobj",
					"text": "zelk.blobs.bounds",
					"numinlets": 1,
					"numoutlets": 2,
					"outlettype": [
						"jit_matrix",
						""
					],
					"patching_rect": [
						20.0,
						664.0,
						130.0,
						22.0
					],
					"id": "obj-37"
				}
			},
			{
				"box": {
					"maxclass": "comment",
					"text": "measures the bounding box of every blob of a label image",
					"numinlets": 1,
					"numoutlets": 0,
					"patching_rect": [
						200.0,
						664.0,
						560.0,
						20.0
					],
					"id": "obj-38"
				}
			},
			{
				"box": {
					"maxclass": "newobj",
					"text": "zelk.blobs.orientation",
					"numinlets": 1,
					"numoutlets": 2,
					"outlettype": [
						"jit_matrix",
						""
					],
					"patching_rect": [
						20.0,
						692.0,
						164.0,
						22.0
					],
					"id": "obj-39"
				}
			},
			{
				"box": {
					"maxclass": "comment",
					"text": "gives the major-axis angle of every blob up to half a turn",
					"numinlets": 1,
					"numoutlets": 0,
					"patching_rect": [
						200.0,
						692.0,
						560.0,
						20.0
					],
					"id": "obj-40"
				}
			},
			{
				"box": {
					"maxclass": "newobj",
					"text": "zelk.blobs.direction",
					"numinlets": 1,
					"numoutlets": 2,
					"outlettype": [
						"jit_matrix",
						""
					],
					"patching_rect": [
						20.0,
						720.0,
						150.0,
						22.0
					],
					"id": "obj-41"
				}
			},
			{
				"box": {
					"maxclass": "comment",
					"text": "gives the major-axis angle of every blob over a full turn",
					"numinlets": 1,
					"numoutlets": 0,
					"patching_rect": [
						200.0,
						720.0,
						560.0,
						20.0
					],
					"id": "obj-42"
				}
			},
			{
				"box": {
					"maxclass": "newobj",
					"text": "zelk.blobs.elongation",
					"numinlets": 1,
					"numoutlets": 2,
					"outlettype": [
						"jit_matrix",
						""
					],
					"patching_rect": [
						20.0,
						748.0,
						157.0,
						22.0
					],
					"id": "obj-43"
				}
			},
			{
				"box": {
					"maxclass": "comment",
					"text": "measures how stretched every blob is (0 for a disc)",
					"numinlets": 1,
					"numoutlets": 0,
					"patching_rect": [
						200.0,
						748.0,
						560.0,
						20.0
					],
					"id": "obj-44"
				}
			},
			{
				"box": {
					"maxclass": "newobj",
					"text": "zelk.blobs.sort",
					"numinlets": 1,
					"numoutlets": 2,
					"outlettype": [
						"jit_matrix",
						""
					],
					"patching_rect": [
						20.0,
						776.0,
						116.0,
						22.0
					],
					"id": "obj-45"
				}
			},
			{
				"box": {
					"maxclass": "comment",
					"text": "gives blobs identifiers that stay with them from frame to frame",
					"numinlets": 1,
					"numoutlets": 0,
					"patching_rect": [
						200.0,
						776.0,
						560.0,
						20.0
					],
					"id": "obj-46"
				}
			}
		],
		"lines": []
	}
}
