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
			980.0,
			640.0
		],
		"description": "gives blobs identifiers that stay with them from frame to frame",
		"digest": "gives blobs identifiers that stay with them from frame to frame",
		"tags": "zelk jitter",
		"boxes": [
			{
				"box": {
					"maxclass": "comment",
					"text": "zelk.blobs.sort",
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
					"text": "gives blobs identifiers that stay with them from frame to frame",
					"numinlets": 1,
					"numoutlets": 0,
					"patching_rect": [
						10.0,
						52.0,
						620.0,
						19.5
					],
					"fontsize": 13.0,
					"id": "obj-2"
				}
			},
			{
				"box": {
					"maxclass": "comment",
					"text": "the examples are in the tabs above: basic",
					"numinlets": 1,
					"numoutlets": 0,
					"patching_rect": [
						10.0,
						90.0,
						620.0,
						20.0
					],
					"id": "obj-3"
				}
			},
			{
				"box": {
					"maxclass": "newobj",
					"text": "p basic",
					"numinlets": 0,
					"numoutlets": 0,
					"patching_rect": [
						10.0,
						130.0,
						62.0,
						22.0
					],
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
							0.0,
							26.0,
							980.0,
							771.0
						],
						"showontab": 1,
						"boxes": [
							{
								"box": {
									"maxclass": "comment",
									"text": "zelk.blobs.sort",
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
									"text": "gives blobs identifiers that stay with them from frame to frame",
									"numinlets": 1,
									"numoutlets": 0,
									"patching_rect": [
										10.0,
										52.0,
										620.0,
										19.5
									],
									"fontsize": 13.0,
									"id": "obj-2"
								}
							},
							{
								"box": {
									"maxclass": "newobj",
									"text": "loadbang",
									"numinlets": 1,
									"numoutlets": 1,
									"outlettype": [
										"bang"
									],
									"patching_rect": [
										285.0,
										90.0,
										69.0,
										22.0
									],
									"id": "obj-3"
								}
							},
							{
								"box": {
									"maxclass": "comment",
									"text": "starts the frames when the patch opens",
									"numinlets": 1,
									"numoutlets": 0,
									"patching_rect": [
										10.0,
										90.0,
										260.0,
										20.0
									],
									"textjustification": 2,
									"id": "obj-4"
								}
							},
							{
								"box": {
									"maxclass": "toggle",
									"numinlets": 1,
									"numoutlets": 1,
									"outlettype": [
										"int"
									],
									"parameter_enable": 0,
									"patching_rect": [
										285.0,
										122.0,
										24.0,
										24.0
									],
									"id": "obj-5"
								}
							},
							{
								"box": {
									"maxclass": "comment",
									"text": "frames on / off",
									"numinlets": 1,
									"numoutlets": 0,
									"patching_rect": [
										10.0,
										122.0,
										260.0,
										20.0
									],
									"textjustification": 2,
									"id": "obj-6"
								}
							},
							{
								"box": {
									"maxclass": "newobj",
									"text": "qmetro 33",
									"numinlets": 2,
									"numoutlets": 1,
									"outlettype": [
										"bang"
									],
									"patching_rect": [
										285.0,
										156.0,
										76.0,
										22.0
									],
									"id": "obj-7"
								}
							},
							{
								"box": {
									"maxclass": "comment",
									"text": "a frame about every 33 ms",
									"numinlets": 1,
									"numoutlets": 0,
									"patching_rect": [
										10.0,
										156.0,
										260.0,
										20.0
									],
									"textjustification": 2,
									"id": "obj-8"
								}
							},
							{
								"box": {
									"maxclass": "newobj",
									"text": "jit.movie",
									"numinlets": 1,
									"numoutlets": 2,
									"outlettype": [
										"jit_matrix",
										""
									],
									"patching_rect": [
										285.0,
										194.0,
										76.0,
										22.0
									],
									"id": "obj-9"
								}
							},
							{
								"box": {
									"maxclass": "message",
									"text": "read",
									"numinlets": 2,
									"numoutlets": 1,
									"outlettype": [
										""
									],
									"patching_rect": [
										375.0,
										156.0,
										42.0,
										22.0
									],
									"id": "obj-10"
								}
							},
							{
								"box": {
									"maxclass": "comment",
									"text": "movie frames: 4-plane char (ARGB); read opens a movie",
									"numinlets": 1,
									"numoutlets": 0,
									"patching_rect": [
										10.0,
										194.0,
										260.0,
										35.0
									],
									"textjustification": 2,
									"id": "obj-11"
								}
							},
							{
								"box": {
									"maxclass": "newobj",
									"text": "jit.rgb2luma",
									"numinlets": 1,
									"numoutlets": 2,
									"outlettype": [
										"jit_matrix",
										""
									],
									"patching_rect": [
										285.0,
										234.0,
										96.0,
										22.0
									],
									"id": "obj-12"
								}
							},
							{
								"box": {
									"maxclass": "comment",
									"text": "colour (4-plane ARGB) to one plane of brightness",
									"numinlets": 1,
									"numoutlets": 0,
									"patching_rect": [
										10.0,
										234.0,
										260.0,
										35.0
									],
									"textjustification": 2,
									"id": "obj-13"
								}
							},
							{
								"box": {
									"maxclass": "newobj",
									"text": "jit.op @op > @val 128",
									"numinlets": 2,
									"numoutlets": 2,
									"outlettype": [
										"jit_matrix",
										""
									],
									"patching_rect": [
										285.0,
										285.0,
										157.0,
										22.0
									],
									"id": "obj-14"
								}
							},
							{
								"box": {
									"maxclass": "comment",
									"text": "binary image: non-zero where brighter than 128, one-plane char",
									"numinlets": 1,
									"numoutlets": 0,
									"patching_rect": [
										10.0,
										285.0,
										260.0,
										35.0
									],
									"textjustification": 2,
									"id": "obj-15"
								}
							},
							{
								"box": {
									"maxclass": "newobj",
									"text": "zelk.label @charmode 1",
									"numinlets": 1,
									"numoutlets": 2,
									"outlettype": [
										"jit_matrix",
										""
									],
									"patching_rect": [
										285.0,
										336.0,
										164.0,
										22.0
									],
									"id": "obj-16"
								}
							},
							{
								"box": {
									"maxclass": "comment",
									"text": "label image: one-plane char, 0 background, 1 2 3 ... per blob",
									"numinlets": 1,
									"numoutlets": 0,
									"patching_rect": [
										10.0,
										336.0,
										260.0,
										35.0
									],
									"textjustification": 2,
									"id": "obj-17"
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
										285.0,
										387.0,
										150.0,
										22.0
									],
									"id": "obj-18"
								}
							},
							{
								"box": {
									"maxclass": "comment",
									"text": "one cell per label: x, y, mass (3 planes of float32)",
									"numinlets": 1,
									"numoutlets": 0,
									"patching_rect": [
										10.0,
										387.0,
										260.0,
										35.0
									],
									"textjustification": 2,
									"id": "obj-19"
								}
							},
							{
								"box": {
									"maxclass": "newobj",
									"text": "zelk.blobs.sort @threshold 20",
									"numinlets": 1,
									"numoutlets": 2,
									"outlettype": [
										"jit_matrix",
										""
									],
									"patching_rect": [
										285.0,
										438.0,
										212.0,
										22.0
									],
									"id": "obj-20"
								}
							},
							{
								"box": {
									"maxclass": "comment",
									"text": "matches every centroid to the nearest blob of earlier frames. Right outlet: dumpout",
									"numinlets": 1,
									"numoutlets": 0,
									"patching_rect": [
										10.0,
										438.0,
										260.0,
										50.0
									],
									"textjustification": 2,
									"id": "obj-21"
								}
							},
							{
								"box": {
									"maxclass": "comment",
									"text": "click to change:",
									"numinlets": 1,
									"numoutlets": 0,
									"patching_rect": [
										620.0,
										90.0,
										200.0,
										20.0
									],
									"id": "obj-22"
								}
							},
							{
								"box": {
									"maxclass": "message",
									"text": "threshold 20",
									"numinlets": 2,
									"numoutlets": 1,
									"outlettype": [
										""
									],
									"patching_rect": [
										620.0,
										114.0,
										96.0,
										22.0
									],
									"id": "obj-23"
								}
							},
							{
								"box": {
									"maxclass": "comment",
									"text": "match radius in pixels",
									"numinlets": 1,
									"numoutlets": 0,
									"patching_rect": [
										726.0,
										114.0,
										234.0,
										20.0
									],
									"id": "obj-24"
								}
							},
							{
								"box": {
									"maxclass": "message",
									"text": "threshold 10",
									"numinlets": 2,
									"numoutlets": 1,
									"outlettype": [
										""
									],
									"patching_rect": [
										620.0,
										146.0,
										96.0,
										22.0
									],
									"id": "obj-25"
								}
							},
							{
								"box": {
									"maxclass": "comment",
									"text": "the default",
									"numinlets": 1,
									"numoutlets": 0,
									"patching_rect": [
										726.0,
										146.0,
										234.0,
										20.0
									],
									"id": "obj-26"
								}
							},
							{
								"box": {
									"maxclass": "comment",
									"text": "takes zelk.blobs.centroids or zelk.blobs.moments output",
									"numinlets": 1,
									"numoutlets": 0,
									"patching_rect": [
										620.0,
										184.0,
										340.0,
										35.0
									],
									"id": "obj-27"
								}
							},
							{
								"box": {
									"maxclass": "jit.pwindow",
									"numinlets": 1,
									"numoutlets": 2,
									"outlettype": [
										"jit_matrix",
										""
									],
									"patching_rect": [
										285.0,
										518.0,
										160.0,
										120.0
									],
									"id": "obj-28"
								}
							},
							{
								"box": {
									"maxclass": "comment",
									"text": "one char per input cell: the identifier of its blob, kept while it moves less than threshold pixels a frame; freed identifiers are reused, smallest first",
									"numinlets": 1,
									"numoutlets": 0,
									"patching_rect": [
										297.0,
										642.0,
										198.0,
										95.0
									],
									"id": "obj-29"
								}
							}
						],
						"lines": [
							{
								"patchline": {
									"source": [
										"obj-3",
										0
									],
									"destination": [
										"obj-5",
										0
									]
								}
							},
							{
								"patchline": {
									"source": [
										"obj-5",
										0
									],
									"destination": [
										"obj-7",
										0
									]
								}
							},
							{
								"patchline": {
									"source": [
										"obj-10",
										0
									],
									"destination": [
										"obj-9",
										0
									]
								}
							},
							{
								"patchline": {
									"source": [
										"obj-7",
										0
									],
									"destination": [
										"obj-9",
										0
									]
								}
							},
							{
								"patchline": {
									"source": [
										"obj-9",
										0
									],
									"destination": [
										"obj-12",
										0
									]
								}
							},
							{
								"patchline": {
									"source": [
										"obj-12",
										0
									],
									"destination": [
										"obj-14",
										0
									]
								}
							},
							{
								"patchline": {
									"source": [
										"obj-14",
										0
									],
									"destination": [
										"obj-16",
										0
									]
								}
							},
							{
								"patchline": {
									"source": [
										"obj-16",
										0
									],
									"destination": [
										"obj-18",
										0
									]
								}
							},
							{
								"patchline": {
									"source": [
										"obj-18",
										0
									],
									"destination": [
										"obj-20",
										0
									]
								}
							},
							{
								"patchline": {
									"source": [
										"obj-23",
										0
									],
									"destination": [
										"obj-20",
										0
									],
									"midpoints": [
										600.0,
										144.0,
										600.0,
										430.0,
										295.0,
										430.0
									]
								}
							},
							{
								"patchline": {
									"source": [
										"obj-25",
										0
									],
									"destination": [
										"obj-20",
										0
									],
									"midpoints": [
										606.0,
										176.0,
										606.0,
										430.0,
										295.0,
										430.0
									]
								}
							},
							{
								"patchline": {
									"source": [
										"obj-20",
										0
									],
									"destination": [
										"obj-28",
										0
									]
								}
							}
						]
					},
					"id": "obj-4"
				}
			}
		],
		"lines": []
	}
}
