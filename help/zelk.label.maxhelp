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
		"description": "numbers the 4-connected blobs of a binary image",
		"digest": "numbers the 4-connected blobs of a binary image",
		"tags": "zelk jitter",
		"boxes": [
			{
				"box": {
					"maxclass": "comment",
					"text": "zelk.label",
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
					"text": "numbers the 4-connected blobs of a binary image",
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
					"text": "the examples are in the tabs above: basic, modes",
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
							707.0
						],
						"showontab": 1,
						"boxes": [
							{
								"box": {
									"maxclass": "comment",
									"text": "zelk.label",
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
									"text": "numbers the 4-connected blobs of a binary image",
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
									"text": "jit.grab",
									"numinlets": 1,
									"numoutlets": 2,
									"outlettype": [
										"jit_matrix",
										""
									],
									"patching_rect": [
										285.0,
										194.0,
										69.0,
										22.0
									],
									"id": "obj-9"
								}
							},
							{
								"box": {
									"maxclass": "message",
									"text": "open",
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
									"maxclass": "message",
									"text": "close",
									"numinlets": 2,
									"numoutlets": 1,
									"outlettype": [
										""
									],
									"patching_rect": [
										425.0,
										156.0,
										48.0,
										22.0
									],
									"id": "obj-11"
								}
							},
							{
								"box": {
									"maxclass": "comment",
									"text": "camera frames: 4-plane char (ARGB)",
									"numinlets": 1,
									"numoutlets": 0,
									"patching_rect": [
										10.0,
										194.0,
										260.0,
										20.0
									],
									"textjustification": 2,
									"id": "obj-12"
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
									"id": "obj-13"
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
									"id": "obj-14"
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
									"id": "obj-15"
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
									"id": "obj-16"
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
										374.0,
										164.0,
										22.0
									],
									"id": "obj-17"
								}
							},
							{
								"box": {
									"maxclass": "comment",
									"text": "numbers each 4-connected blob: cells touching only at a corner are different blobs. Right outlet: dumpout",
									"numinlets": 1,
									"numoutlets": 0,
									"patching_rect": [
										10.0,
										374.0,
										260.0,
										50.0
									],
									"textjustification": 2,
									"id": "obj-18"
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
									"id": "obj-19"
								}
							},
							{
								"box": {
									"maxclass": "message",
									"text": "charmode 1",
									"numinlets": 2,
									"numoutlets": 1,
									"outlettype": [
										""
									],
									"patching_rect": [
										620.0,
										114.0,
										82.0,
										22.0
									],
									"id": "obj-20"
								}
							},
							{
								"box": {
									"maxclass": "comment",
									"text": "char output: the label image the zelk.blobs objects read",
									"numinlets": 1,
									"numoutlets": 0,
									"patching_rect": [
										712.0,
										114.0,
										248.0,
										35.0
									],
									"id": "obj-21"
								}
							},
							{
								"box": {
									"maxclass": "message",
									"text": "charmode 0",
									"numinlets": 2,
									"numoutlets": 1,
									"outlettype": [
										""
									],
									"patching_rect": [
										620.0,
										157.0,
										82.0,
										22.0
									],
									"id": "obj-22"
								}
							},
							{
								"box": {
									"maxclass": "comment",
									"text": "long output (default): labels past 255 kept",
									"numinlets": 1,
									"numoutlets": 0,
									"patching_rect": [
										712.0,
										157.0,
										248.0,
										35.0
									],
									"id": "obj-23"
								}
							},
							{
								"box": {
									"maxclass": "message",
									"text": "threshold 30",
									"numinlets": 2,
									"numoutlets": 1,
									"outlettype": [
										""
									],
									"patching_rect": [
										620.0,
										200.0,
										96.0,
										22.0
									],
									"id": "obj-24"
								}
							},
							{
								"box": {
									"maxclass": "comment",
									"text": "remove blobs of 30 cells or fewer, renumber the rest without gaps",
									"numinlets": 1,
									"numoutlets": 0,
									"patching_rect": [
										726.0,
										200.0,
										234.0,
										35.0
									],
									"id": "obj-25"
								}
							},
							{
								"box": {
									"maxclass": "message",
									"text": "threshold 0",
									"numinlets": 2,
									"numoutlets": 1,
									"outlettype": [
										""
									],
									"patching_rect": [
										620.0,
										243.0,
										89.0,
										22.0
									],
									"id": "obj-26"
								}
							},
							{
								"box": {
									"maxclass": "comment",
									"text": "keep every blob (default)",
									"numinlets": 1,
									"numoutlets": 0,
									"patching_rect": [
										719.0,
										243.0,
										241.0,
										20.0
									],
									"id": "obj-27"
								}
							},
							{
								"box": {
									"maxclass": "message",
									"text": "mode 1",
									"numinlets": 2,
									"numoutlets": 1,
									"outlettype": [
										""
									],
									"patching_rect": [
										620.0,
										275.0,
										55.0,
										22.0
									],
									"id": "obj-28"
								}
							},
							{
								"box": {
									"maxclass": "comment",
									"text": "write each blob's area (long) or its rank by area, largest 1 (char)",
									"numinlets": 1,
									"numoutlets": 0,
									"patching_rect": [
										685.0,
										275.0,
										275.0,
										35.0
									],
									"id": "obj-29"
								}
							},
							{
								"box": {
									"maxclass": "message",
									"text": "mode 0",
									"numinlets": 2,
									"numoutlets": 1,
									"outlettype": [
										""
									],
									"patching_rect": [
										620.0,
										318.0,
										55.0,
										22.0
									],
									"id": "obj-30"
								}
							},
							{
								"box": {
									"maxclass": "comment",
									"text": "write labels (default)",
									"numinlets": 1,
									"numoutlets": 0,
									"patching_rect": [
										685.0,
										318.0,
										275.0,
										20.0
									],
									"id": "obj-31"
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
										454.0,
										160.0,
										120.0
									],
									"id": "obj-32"
								}
							},
							{
								"box": {
									"maxclass": "comment",
									"text": "label image: 0 background, blobs 1, 2, 3 ... in raster order of their first cell; at most 2048 blobs, and in char output labels above 255 are written as 0",
									"numinlets": 1,
									"numoutlets": 0,
									"patching_rect": [
										297.0,
										578.0,
										198.0,
										95.0
									],
									"id": "obj-33"
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
										"obj-11",
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
										"obj-13",
										0
									]
								}
							},
							{
								"patchline": {
									"source": [
										"obj-13",
										0
									],
									"destination": [
										"obj-15",
										0
									]
								}
							},
							{
								"patchline": {
									"source": [
										"obj-15",
										0
									],
									"destination": [
										"obj-17",
										0
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
										"obj-17",
										0
									],
									"midpoints": [
										576.0,
										144.0,
										576.0,
										366.0,
										295.0,
										366.0
									]
								}
							},
							{
								"patchline": {
									"source": [
										"obj-22",
										0
									],
									"destination": [
										"obj-17",
										0
									],
									"midpoints": [
										582.0,
										187.0,
										582.0,
										366.0,
										295.0,
										366.0
									]
								}
							},
							{
								"patchline": {
									"source": [
										"obj-24",
										0
									],
									"destination": [
										"obj-17",
										0
									],
									"midpoints": [
										588.0,
										230.0,
										588.0,
										366.0,
										295.0,
										366.0
									]
								}
							},
							{
								"patchline": {
									"source": [
										"obj-26",
										0
									],
									"destination": [
										"obj-17",
										0
									],
									"midpoints": [
										594.0,
										273.0,
										594.0,
										366.0,
										295.0,
										366.0
									]
								}
							},
							{
								"patchline": {
									"source": [
										"obj-28",
										0
									],
									"destination": [
										"obj-17",
										0
									],
									"midpoints": [
										600.0,
										305.0,
										600.0,
										366.0,
										295.0,
										366.0
									]
								}
							},
							{
								"patchline": {
									"source": [
										"obj-30",
										0
									],
									"destination": [
										"obj-17",
										0
									],
									"midpoints": [
										606.0,
										348.0,
										606.0,
										366.0,
										295.0,
										366.0
									]
								}
							},
							{
								"patchline": {
									"source": [
										"obj-17",
										0
									],
									"destination": [
										"obj-32",
										0
									]
								}
							}
						]
					},
					"id": "obj-4"
				}
			},
			{
				"box": {
					"maxclass": "newobj",
					"text": "p modes",
					"numinlets": 0,
					"numoutlets": 0,
					"patching_rect": [
						120.0,
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
							1000.0,
							603.0
						],
						"showontab": 1,
						"boxes": [
							{
								"box": {
									"maxclass": "comment",
									"text": "zelk.label",
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
									"text": "numbers the 4-connected blobs of a binary image",
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
									"text": "jit.grab",
									"numinlets": 1,
									"numoutlets": 2,
									"outlettype": [
										"jit_matrix",
										""
									],
									"patching_rect": [
										285.0,
										194.0,
										69.0,
										22.0
									],
									"id": "obj-9"
								}
							},
							{
								"box": {
									"maxclass": "message",
									"text": "open",
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
									"maxclass": "message",
									"text": "close",
									"numinlets": 2,
									"numoutlets": 1,
									"outlettype": [
										""
									],
									"patching_rect": [
										425.0,
										156.0,
										48.0,
										22.0
									],
									"id": "obj-11"
								}
							},
							{
								"box": {
									"maxclass": "comment",
									"text": "camera frames: 4-plane char (ARGB)",
									"numinlets": 1,
									"numoutlets": 0,
									"patching_rect": [
										10.0,
										194.0,
										260.0,
										20.0
									],
									"textjustification": 2,
									"id": "obj-12"
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
									"id": "obj-13"
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
									"id": "obj-14"
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
									"id": "obj-15"
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
									"id": "obj-16"
								}
							},
							{
								"box": {
									"maxclass": "comment",
									"text": "one binary image, three ways of numbering its blobs",
									"numinlets": 1,
									"numoutlets": 0,
									"patching_rect": [
										620.0,
										96.0,
										340.0,
										20.0
									],
									"id": "obj-17"
								}
							},
							{
								"box": {
									"maxclass": "newobj",
									"text": "zelk.label @charmode 1 @threshold 30",
									"numinlets": 1,
									"numoutlets": 2,
									"outlettype": [
										"jit_matrix",
										""
									],
									"patching_rect": [
										248.0,
										350.0,
										259.0,
										22.0
									],
									"id": "obj-18"
								}
							},
							{
								"box": {
									"maxclass": "comment",
									"text": "small blobs removed",
									"numinlets": 1,
									"numoutlets": 0,
									"patching_rect": [
										260.0,
										376.0,
										198.0,
										20.0
									],
									"id": "obj-19"
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
										248.0,
										410.0,
										160.0,
										120.0
									],
									"id": "obj-20"
								}
							},
							{
								"box": {
									"maxclass": "comment",
									"text": "labels of the blobs larger than 30 cells",
									"numinlets": 1,
									"numoutlets": 0,
									"patching_rect": [
										260.0,
										534.0,
										198.0,
										35.0
									],
									"id": "obj-21"
								}
							},
							{
								"box": {
									"maxclass": "newobj",
									"text": "zelk.label @charmode 1 @mode 1",
									"numinlets": 1,
									"numoutlets": 2,
									"outlettype": [
										"jit_matrix",
										""
									],
									"patching_rect": [
										522.0,
										350.0,
										218.0,
										22.0
									],
									"id": "obj-22"
								}
							},
							{
								"box": {
									"maxclass": "comment",
									"text": "ranks",
									"numinlets": 1,
									"numoutlets": 0,
									"patching_rect": [
										534.0,
										376.0,
										198.0,
										20.0
									],
									"id": "obj-23"
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
										522.0,
										410.0,
										160.0,
										120.0
									],
									"id": "obj-24"
								}
							},
							{
								"box": {
									"maxclass": "comment",
									"text": "each blob's rank by area: the largest is 1",
									"numinlets": 1,
									"numoutlets": 0,
									"patching_rect": [
										534.0,
										534.0,
										198.0,
										35.0
									],
									"id": "obj-25"
								}
							},
							{
								"box": {
									"maxclass": "newobj",
									"text": "zelk.label @mode 1",
									"numinlets": 1,
									"numoutlets": 2,
									"outlettype": [
										"jit_matrix",
										""
									],
									"patching_rect": [
										755.0,
										350.0,
										137.0,
										22.0
									],
									"id": "obj-26"
								}
							},
							{
								"box": {
									"maxclass": "comment",
									"text": "areas, long output",
									"numinlets": 1,
									"numoutlets": 0,
									"patching_rect": [
										767.0,
										376.0,
										198.0,
										20.0
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
										755.0,
										410.0,
										160.0,
										120.0
									],
									"id": "obj-28"
								}
							},
							{
								"box": {
									"maxclass": "comment",
									"text": "each cell holds the area of its blob (long)",
									"numinlets": 1,
									"numoutlets": 0,
									"patching_rect": [
										767.0,
										534.0,
										198.0,
										35.0
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
										"obj-11",
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
										"obj-13",
										0
									]
								}
							},
							{
								"patchline": {
									"source": [
										"obj-13",
										0
									],
									"destination": [
										"obj-15",
										0
									]
								}
							},
							{
								"patchline": {
									"source": [
										"obj-15",
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
										"obj-15",
										0
									],
									"destination": [
										"obj-22",
										0
									]
								}
							},
							{
								"patchline": {
									"source": [
										"obj-22",
										0
									],
									"destination": [
										"obj-24",
										0
									]
								}
							},
							{
								"patchline": {
									"source": [
										"obj-15",
										0
									],
									"destination": [
										"obj-26",
										0
									]
								}
							},
							{
								"patchline": {
									"source": [
										"obj-26",
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
					"id": "obj-5"
				}
			}
		],
		"lines": []
	}
}
